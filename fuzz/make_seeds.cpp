// Writes the seed inputs of the fuzz targets: Word files as writers save them and the crafted hostile
// ones (the same generators as the reader tests), and document bodies with the markup the .docx reader
// passes over. Usage: make_seeds WORD_DIR DOCX_BODY_DIR
#include "support/craftedword.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

using namespace veltrik::crafted;

bool write(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<std::pair<QString, QByteArray>> wordSeeds()
{
    QList<std::pair<QString, QByteArray>> seeds;
    seeds.append({u"table.doc"_qs, wordFile(u"表前\r甲\a乙\a\a丙\a\a\a表后\r"_qs, {7, 11})});
    seeds.append({u"fields.doc"_qs, wordFile(u"\x13 REF a \x13 PAGE \x14"
                                             u"3\x15\x14结果\x15文本\r"_qs)});
    seeds.append({u"nested-fields.doc"_qs, wordFile(QString(100000, QChar(0x13)) + u"后\r"_qs)});
    seeds.append({u"big-sectors.doc"_qs, wordFile(wordStreams(u"大扇区\r"_qs), 12).bytes});
    seeds.append(
        {u"embedded-object.doc"_qs, wordFileWithEmbeddedObject(QString(3000, u'正') + u"\r"_qs, u"嵌入\r"_qs)});
    for (const HostileFile &file : hostileWordFiles())
        seeds.append({QString::fromLatin1(file.name) + u".doc"_qs, file.bytes});
    return seeds;
}

QList<std::pair<QString, QByteArray>> bodySeeds()
{
    QByteArray manyAttributes = "<w:document><w:body><w:p";
    for (int i = 0; i < 20000; ++i)
        manyAttributes += " a" + QByteArray::number(i) + "=\"\"";
    manyAttributes += "/></w:body></w:document>";
    return {
        {u"paragraphs.xml"_qs,
         "<w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>甲</w:t><w:tab/><w:t>乙</w:t><w:br/></w:r>"
         "</w:p><w:tbl><w:tr><w:tc><w:p><w:r><w:t>1</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
         "<w:p><w:pPr><w:tabs><w:tab w:pos=\"720\"/></w:tabs></w:pPr><w:del><w:r><w:delText>x"
         "</w:delText></w:r></w:del><w:r><w:instrText>PAGE</w:instrText></w:r></w:p></w:body></w:document>"},
        {u"shapes.xml"_qs,
         "<w:document xmlns:w=\"w\" xmlns:mc=\"mc\"><w:body><w:p><w:r><mc:AlternateContent><mc:Choice>"
         "<w:drawing><w:txbxContent><w:p><w:r><w:t>框</w:t></w:r></w:p></w:txbxContent></w:drawing>"
         "</mc:Choice><mc:Fallback><w:pict><w:t>图</w:t></w:pict></mc:Fallback></mc:AlternateContent>"
         "</w:r></w:p><!-- a=b --><w:p><w:r><w:t><![CDATA[<a=b>]]></w:t></w:r></w:p></w:body></w:document>"},
        {u"many-attributes.xml"_qs, manyAttributes},
    };
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WORD_DIR DOCX_BODY_DIR\n", argv[0]);
        return 2;
    }
    const QDir wordDir(QString::fromLocal8Bit(argv[1]));
    const QDir bodyDir(QString::fromLocal8Bit(argv[2]));
    bool written = wordDir.mkpath(u"."_qs) && bodyDir.mkpath(u"."_qs);
    for (const auto &[name, bytes] : wordSeeds())
        written = write(wordDir, name, bytes) && written;
    for (const auto &[name, bytes] : bodySeeds())
        written = write(bodyDir, name, bytes) && written;
    return written ? 0 : 1;
}
