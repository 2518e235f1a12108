#include "searchengine.h"

#include <QUrl>
#include <QUrlQuery>

namespace veltrik::testing {
namespace {

// Plain Chinese text, so that every page has well over 500 double-byte characters.
const QString kFiller =
    QStringLiteral("本页面由本地测试搜索引擎生成，内容仅用于检验论文查重程序的评分与统计功能。"
                   "研究表明，学术写作应当遵循规范，引用他人成果时必须注明出处，这是学术道德的基本要求。");

QString fillerParagraphs(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += u"<p class=\"c-abstract\">"_qs + kFiller + u"</p>\n"_qs;
    return text;
}

QString escapedText(const QString &text)
{
    return text.toHtmlEscaped();
}

// An item as the engine writes it: the JSON in a single-quoted data-tools attribute, then the anchor.
QString itemMarkup(const QString &title, const QString &url, const QString &query)
{
    return u"<div class=\"result c-container\"><h3 class=\"t\"><a href=\""_qs + escapedText(url) + u"\">"_qs +
           escapedText(title) + u"</a></h3>\n<div class=\"c-abstract\">……<em>"_qs + escapedText(query) +
           u"</em>……</div>\n<div class=\"f13\"><span data-tools='{\"title\":\""_qs + title + u"\",\"url\":\""_qs + url +
           u"\"}'><a class=\"c-tip-icon\"></a></span></div></div>\n"_qs;
}

// Non-ASCII characters as \uXXXX escapes, as the engine writes them in its JSON.
QString jsonEscaped(const QString &text)
{
    QString escaped;
    for (QChar c : text)
        escaped += c.unicode() < 0x80 ? QString(c) : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return escaped;
}

// An item in today's markup: escaped title, an extra member, an id attribute before the anchor, or no anchor.
QString realisticItemMarkup(const QString &title, const QString &url, const QString &query, bool withAnchor)
{
    return u"<div class=\"result c-container\"><h3 class=\"t\"><a href=\""_qs + escapedText(url) + u"\">"_qs +
           escapedText(title) + u"</a></h3>\n<div class=\"c-abstract\">……<em>"_qs + escapedText(query) +
           u"</em>……</div>\n<div class=\"f13\"><span data-tools='{\"title\":\""_qs + jsonEscaped(title) +
           u"\",\"url\":\""_qs + url + u"\",\"abs\":\""_qs + jsonEscaped(u"摘要"_qs) + u"\"}' id=\"tools_"_qs +
           QString::number(qHash(title) % 10000) + u"\">"_qs +
           (withAnchor ? u"<a class=\"c-tip-icon\"></a>"_qs : QString()) + u"</span></div></div>\n"_qs;
}

// A text as a string literal of an inline script, written the way the engine writes it: "/" as "\/".
QString scriptString(const QString &text)
{
    QString literal = text;
    literal.replace(u'\\', u"\\\\"_qs).replace(u'"', u"\\\""_qs).replace(u'/', u"\\/"_qs);
    return u"\""_qs + literal + u"\""_qs;
}

// A card: a container with the real address in mu, a title link through the engine's redirect, no data-tools.
QString cardMarkup(const QString &title, const QString &url, const QString &kind, const QString &content)
{
    return u"<div class=\"result-op c-container xpath-log\" tpl=\""_qs + kind + u"\" mu=\""_qs + escapedText(url) +
           u"\" data-op=\"{'y':'8FDDAFDA'}\"><h3 class=\"t\"><a href=\"/link?url="_qs + kind +
           u"\" target=\"_blank\">"_qs + escapedText(title) + u"</a></h3>\n"_qs + content + u"</div>\n"_qs;
}

// A music card: its inline script holds the query highlighted as the engine writes it, "<em>…<\/em>".
QString musicCardMarkup(const QString &query)
{
    const QString data = u"{\"name\":"_qs + scriptString(u"<em>"_qs + query + u"</em>"_qs) + u",\"singer\":"_qs +
                         scriptString(u"群星"_qs) + u",\"lyric\":"_qs + scriptString(kFiller) + u"}"_qs;
    return cardMarkup(
        query.left(8) + u"_在线试听_音乐"_qs,
        u"http://music.example.test/search?key="_qs + QString::fromLatin1(QUrl::toPercentEncoding(query)), u"music"_qs,
        u"<div class=\"c-row\">歌曲、歌词与专辑</div>\n<script>var musicCard = "_qs + data + u";</script>\n"_qs);
}

QString encyclopediaCardMarkup()
{
    return cardMarkup(
        SearchEngine::kEncyclopediaTitle, SearchEngine::kEncyclopediaUrl, u"bk_polysemy"_qs,
        u"<p class=\"c-row\">学术论文是某一学术课题在实验性、理论性或预测性上具有的新的科学研究成果。</p>\n"_qs);
}

// The check page the engine shows instead of results, with a link that lets the check pass.
QByteArray securityCheckPage(const QByteArray &target)
{
    const QString next = QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(target)));
    return (u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>百度安全验证</title></head><body>"
            u"<div class=\"vcode\"><p>百度安全验证</p><p>请完成下方验证后继续操作</p><p>拖动左侧滑块使图片为正</p>"
            u"<a id=\"continue\" href=\"/verify?next="_qs +
            next + u"\">继续</a></div></body></html>"_qs)
        .toUtf8();
}

QByteArray page(const QString &title, const QString &body)
{
    return (u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>"_qs + escapedText(title) +
            u"</title></head><body>\n"_qs + body + u"</body></html>"_qs)
        .toUtf8();
}

} // namespace

SearchEngine::SearchEngine(QObject *parent)
    : SearchEngine(Options(), parent)
{
}

SearchEngine::SearchEngine(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_http([this](const QByteArray &target) { return answer(target); })
{
    m_clock.start();
}

bool SearchEngine::listen(quint16 port)
{
    return m_http.listen(port);
}

QString SearchEngine::base() const
{
    return m_http.base();
}

void SearchEngine::failQuery(const QString &queryPart, Failure failure, int times)
{
    m_failures.append({queryPart, failure, times});
}

void SearchEngine::requireSecurityCheck(const QString &queryPart, int times)
{
    m_checks.append({queryPart, times});
}

QString SearchEngine::itemsMarkup(const QString &query) const
{
    QString items;
    for (int k = 0; k < m_options.itemsPerPage; ++k) {
        const bool common = k == 0;
        const QString title =
            common ? m_options.commonTitle : u"第"_qs + QString::number(k) + u"条结果："_qs + query.left(12);
        const QString url = common ? m_options.commonUrl
                                   : u"http://site"_qs + QString::number(k) + u".example.test/doc?q="_qs +
                                         QString::fromLatin1(QUrl::toPercentEncoding(query));
        const bool lastItem = k == m_options.itemsPerPage - 1;
        items += m_options.realisticItems ? realisticItemMarkup(title, url, query, !lastItem)
                                          : itemMarkup(title, url, query);
        if (common && m_options.cards)
            items += musicCardMarkup(query);
    }
    if (m_options.cards)
        items += encyclopediaCardMarkup();
    return items;
}

QByteArray SearchEngine::resultPage(const QString &query) const
{
    const QString body = u"<div id=\"content_left\">\n"_qs + fillerParagraphs(4) + itemsMarkup(query) +
                         fillerParagraphs(4) + u"</div>\n"_qs;
    return page(query + u"_百度搜索"_qs, body);
}

std::optional<LocalHttpServer::Response> SearchEngine::securityCheckAnswer(const QByteArray &target,
                                                                           const QString &query)
{
    for (ScriptedCheck &check : m_checks) {
        if (check.remaining == 0 || !query.contains(check.queryPart))
            continue;
        if (check.remaining > 0)
            --check.remaining;
        return LocalHttpServer::Response::html(200, securityCheckPage(target));
    }
    return std::nullopt;
}

// The continue link: the check counts as passed for every query, and the original request is answered.
LocalHttpServer::Response SearchEngine::passCheck(const QUrlQuery &parameters)
{
    m_checks.clear();
    LocalHttpServer::Response response;
    response.status = 302;
    response.location = parameters.queryItemValue(u"next"_qs, QUrl::FullyDecoded).toUtf8();
    return response;
}

LocalHttpServer::Response SearchEngine::answer(const QByteArray &target)
{
    const QUrl url(QString::fromUtf8(target));
    const QUrlQuery parameters(url);
    const QString path = url.path();
    const QString key = path == u"/search" ? u"word"_qs : u"wd"_qs;
    const QString query = parameters.queryItemValue(key, QUrl::FullyDecoded);
    m_requests.append({m_clock.elapsed(), target, path, query});

    if (path == u"/verify")
        return passCheck(parameters);
    if (path != u"/s" && path != u"/search")
        return LocalHttpServer::Response::html(404, page(u"404"_qs, u"<p>没有这个页面</p>"_qs));
    if (auto check = securityCheckAnswer(target, query))
        return *check;
    for (ScriptedFailure &scripted : m_failures) {
        if (scripted.remaining > 0 && query.contains(scripted.queryPart)) {
            --scripted.remaining;
            return failedAnswer(scripted.failure, query);
        }
    }
    return LocalHttpServer::Response::html(200, resultPage(query));
}

LocalHttpServer::Response SearchEngine::failedAnswer(Failure failure, const QString &query) const
{
    LocalHttpServer::Response response;
    switch (failure) {
    case Failure::NoAnswer:
        response.drop = true;
        break;
    case Failure::Slow:
        response.body = resultPage(query);
        response.delayMs = m_options.slowDelayMs;
        break;
    case Failure::EmptyBody:
        response.body = page(query, QString());
        break;
    case Failure::ShortPage:
        response.body = page(query, u"<p>抱歉，没有找到与查询相关的网页。</p>"_qs);
        break;
    }
    return response;
}

} // namespace veltrik::testing
