#include "query.h"

#include "text/replace.h"

#include <QUrl>

namespace veltrik {
namespace {

const QString kWebSearchPath = QStringLiteral("/s?wd=");
const QString kWebSearchTail = QStringLiteral("&rsv_bp=0&ch=&bar=&rsv_spt=3&tn=baidu");
const QString kWenkuPath = QStringLiteral("/search?word=");
const QString kWenkuTail = QStringLiteral("&ie=utf-8&lm=0&od=0");

// The row number and its hyphen, as the analysis wrote them; a row without them is used whole.
QString withoutRowNumber(const QString &rowText)
{
    qsizetype digits = 0;
    while (digits < rowText.size() && rowText[digits] >= u'0' && rowText[digits] <= u'9')
        ++digits;
    if (digits == 0 || digits >= rowText.size() || rowText[digits] != u'-')
        return rowText;
    return rowText.mid(digits + 1);
}

} // namespace

QString buildQuery(const QString &rowText)
{
    QString query = trimSpaces(withoutRowNumber(rowText));
    query = replaceAll(query, u","_qs, u"，"_qs);
    for (const QString &mark :
         {u"《"_qs, u"》"_qs, u"【"_qs, u"】"_qs, u"："_qs, u"“"_qs, u"”"_qs, u"……"_qs, u"（"_qs, u"）"_qs, u"，"_qs})
        query = replaceAll(query, mark, u" "_qs);
    query = replaceAll(query, u"  "_qs, u" "_qs);
    query = replaceAll(query, u"\""_qs, u" "_qs);
    query = replaceAll(query, u"！"_qs, u" "_qs);
    return replaceAll(query, u"。"_qs, u" "_qs);
}

bool isEmptyQuery(const QString &query)
{
    return query.isEmpty() || query == QString(QChar(0xE003)) || query == u" "_qs;
}

std::optional<QString> composeSearchUrl(SearchEngine engine, const Endpoints &endpoints, const QString &query)
{
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(query));
    switch (engine) {
    case SearchEngine::NoQueryForm:
        return std::nullopt;
    case SearchEngine::Wenku:
        return endpoints.wenkuBase + kWenkuPath + encoded + kWenkuTail;
    case SearchEngine::WebSearch:
        break;
    }
    return endpoints.webSearchBase + kWebSearchPath + encoded + kWebSearchTail;
}

} // namespace veltrik
