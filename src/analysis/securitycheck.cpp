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
    {Where::Title, u"百度安全验证"},         {Where::Host, u"wappass.baidu.com"},
    {Where::Path, u"/static/captcha"},       {Where::Path, u"/captcha"},
    {Where::ShortPageText, u"安全验证"},     {Where::ShortPageText, u"请完成下方验证"},
    {Where::ShortPageText, u"拖动左侧滑块"}, {Where::ShortPageText, u"网络不给力，请稍后重试"},
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

// The body without the page's echo of the query, as written and as escaped in markup.
QString withoutQuery(const QString &body, const QString &query)
{
    if (query.isEmpty())
        return body;
    QString rest = body;
    rest.remove(query);
    const QString escaped = query.toHtmlEscaped();
    if (escaped != query)
        rest.remove(escaped);
    return rest;
}

bool shows(const ResultPage &page, const QString &bodyOutsideQuery, const Sign &sign, bool shortPage)
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
        return shortPage && bodyOutsideQuery.contains(text);
    }
    return false;
}

} // namespace

bool isSecurityCheckPage(const ResultPage &page, qsizetype doubleByteCount, bool hasResultItems)
{
    if (hasResultItems)
        return false;
    const bool shortPage = doubleByteCount < kShortestResultPage;
    const QString bodyOutsideQuery = shortPage ? withoutQuery(page.bodyHtml, page.query) : QString();
    for (const Sign &sign : kSigns)
        if (shows(page, bodyOutsideQuery, sign, shortPage))
            return true;
    return false;
}

QString securityCheckCaption(qsizetype sentenceNumber, bool automatic)
{
    const QString number = QString::number(sentenceNumber);
    return automatic ? u"请在下方通过安全验证，之后自动继续对比第 "_qs + number + u" 句"_qs
                     : u"请在下方通过安全验证，之后显示第 "_qs + number + u" 句的结果"_qs;
}

} // namespace veltrik
