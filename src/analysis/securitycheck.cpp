#include "securitycheck.h"

#include <QStringMatcher>
#include <QUrl>

namespace veltrik {
namespace {

enum class Where { Title, Host, Path, ShortPageText };

struct Sign {
    Where where;
    const char16_t *text;
};

// The signs of a check page.
const Sign kSigns[] = {
    {Where::Title, u"百度安全验证"},
    {Where::Host, u"wappass.baidu.com"},
    {Where::Path, u"/static/captcha"},
    {Where::Path, u"/captcha"},
    {Where::ShortPageText, u"安全验证"},
    {Where::ShortPageText, u"请完成下方验证"},
    {Where::ShortPageText, u"拖动左侧滑块"},
    {Where::ShortPageText, u"网络不给力，请稍后重试"},
};

// A result page has at least this many double-byte characters.
constexpr qsizetype kShortestResultPage = 500;

// The text of the first <title> element (the browser writes tags in lower case).
QString titleOf(const QString &pageHtml)
{
    static const QStringMatcher opening(QStringLiteral("<title"));
    const qsizetype tag = opening.indexIn(pageHtml);
    if (tag < 0)
        return {};
    const qsizetype start = pageHtml.indexOf(u'>', tag);
    const qsizetype end = start < 0 ? -1 : pageHtml.indexOf(u'<', start);
    return end < 0 ? QString() : pageHtml.mid(start + 1, end - start - 1).trimmed();
}

bool shows(const ResultPage &page, const Sign &sign, bool shortPage)
{
    const QString text = QString::fromUtf16(sign.text);
    switch (sign.where) {
    case Where::Title:
        return titleOf(page.pageHtml) == text;
    case Where::Host:
        return QUrl(page.url).host().compare(text, Qt::CaseInsensitive) == 0;
    case Where::Path:
        return QUrl(page.url).path().startsWith(text);
    case Where::ShortPageText:
        return shortPage && page.bodyHtml.contains(text);
    }
    return false;
}

} // namespace

bool isSecurityCheckPage(const ResultPage &page, qsizetype doubleByteCount)
{
    const bool shortPage = doubleByteCount < kShortestResultPage;
    for (const Sign &sign : kSigns)
        if (shows(page, sign, shortPage))
            return true;
    return false;
}

QString securityCheckCaption(qsizetype sentenceNumber)
{
    return u"搜索引擎要求安全验证，请在下方页面中完成验证，完成后将自动继续对比第 "_qs + QString::number(sentenceNumber) +
           u" 句"_qs;
}

} // namespace veltrik
