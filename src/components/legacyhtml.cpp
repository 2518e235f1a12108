#include "legacyhtml.h"

#include <QStringList>

namespace veltrik {
namespace {

const QString kQuoteEntity = QStringLiteral("&quot;");

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isRawTextElement(const QString &lowerName)
{
    static const QStringList names = {u"script"_qs,  u"style"_qs,    u"xmp"_qs,      u"iframe"_qs,
                                      u"noembed"_qs, u"noframes"_qs, u"noscript"_qs, u"plaintext"_qs};
    return names.contains(lowerName);
}

// Walks the serialised markup once, copying it to `out` and requoting attribute values on the way.
class Requoter {
public:
    explicit Requoter(const QString &html)
        : m_in(html)
    {
        m_out.reserve(html.size());
    }

    QString run()
    {
        while (m_pos < m_in.size()) {
            if (m_in[m_pos] == u'<' && m_pos + 1 < m_in.size())
                markup();
            else
                m_out += m_in[m_pos++];
        }
        return m_out;
    }

private:
    void markup()
    {
        const QChar next = m_in[m_pos + 1];
        if (m_in.mid(m_pos, 4) == u"<!--")
            copyThrough(QStringLiteral("-->"));
        else if (next == u'/' || next == u'!' || next == u'?')
            copyThrough(QStringLiteral(">"));
        else if (next.isLetter())
            startTag();
        else
            m_out += m_in[m_pos++];
    }

    void copyThrough(const QString &terminator)
    {
        const qsizetype end = m_in.indexOf(terminator, m_pos + 1);
        const qsizetype stop = end < 0 ? m_in.size() : end + terminator.size();
        m_out += QStringView(m_in).mid(m_pos, stop - m_pos);
        m_pos = stop;
    }

    void startTag()
    {
        const qsizetype nameStart = ++m_pos;
        while (m_pos < m_in.size() && !isSpace(m_in[m_pos]) && m_in[m_pos] != u'>' && m_in[m_pos] != u'/')
            ++m_pos;
        const QString name = m_in.mid(nameStart, m_pos - nameStart);
        m_out += u'<';
        m_out += name;
        attributes();
        if (isRawTextElement(name.toLower()))
            rawText(name.toLower());
    }

    void attributes()
    {
        while (m_pos < m_in.size()) {
            const QChar c = m_in[m_pos];
            if (c == u'>') {
                m_out += m_in[m_pos++];
                return;
            }
            if (isSpace(c) || c == u'/') {
                m_out += m_in[m_pos++];
                continue;
            }
            attribute();
        }
    }

    void attribute()
    {
        const qsizetype nameStart = m_pos;
        while (m_pos < m_in.size() && !isSpace(m_in[m_pos]) && m_in[m_pos] != u'=' && m_in[m_pos] != u'>')
            ++m_pos;
        m_out += QStringView(m_in).mid(nameStart, m_pos - nameStart);
        if (m_pos >= m_in.size() || m_in[m_pos] != u'=')
            return;
        m_out += m_in[m_pos++];
        if (m_pos < m_in.size() && (m_in[m_pos] == u'"' || m_in[m_pos] == u'\''))
            quotedValue(m_in[m_pos]);
        else
            unquotedValue();
    }

    void quotedValue(QChar quote)
    {
        const qsizetype valueStart = m_pos + 1;
        qsizetype end = m_in.indexOf(quote, valueStart);
        if (end < 0)
            end = m_in.size();
        const QStringView value = QStringView(m_in).mid(valueStart, end - valueStart);
        m_pos = std::min(end + 1, m_in.size());
        if (quote == u'"' && value.contains(kQuoteEntity) && !value.contains(u'\'')) {
            m_out += u'\'';
            m_out += value.toString().replace(kQuoteEntity, QStringLiteral("\""));
            m_out += u'\'';
            return;
        }
        m_out += quote;
        m_out += value;
        if (end < m_in.size())
            m_out += quote;
    }

    void unquotedValue()
    {
        while (m_pos < m_in.size() && !isSpace(m_in[m_pos]) && m_in[m_pos] != u'>')
            m_out += m_in[m_pos++];
    }

    void rawText(const QString &lowerName)
    {
        const QString closing = u"</"_qs + lowerName;
        const qsizetype end = m_in.indexOf(closing, m_pos, Qt::CaseInsensitive);
        const qsizetype stop = end < 0 ? m_in.size() : end;
        m_out += QStringView(m_in).mid(m_pos, stop - m_pos);
        m_pos = stop;
    }

    const QString &m_in;
    QString m_out;
    qsizetype m_pos = 0;
};

} // namespace

QString toLegacyAttributeQuoting(const QString &html)
{
    return Requoter(html).run();
}

} // namespace veltrik
