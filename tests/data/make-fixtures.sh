#!/usr/bin/env bash
# Makes the document fixtures from source.fodt with LibreOffice (Word 97-2003, Word 2007+ and RTF) and the
# text files in the encodings a Chinese user's files come in, plus damaged and truncated variants; from
# table.fodt, textbox.fodt and embedded.fodt the Word files of a table, of a text box and a drawing shape, and
# of an embedded document; and a Word 2007+ file saved with the password 1234.
# Needs soffice, the Python bridge to LibreOffice (python3-uno), iconv and python3. Run from anywhere; writes
# beside itself.
set -euo pipefail
cd "$(dirname "$0")"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT

convert() { # source filter extension target
  soffice -env:UserInstallation=file://"$profile" --headless --convert-to "$3:$2" --outdir . "$1.fodt" >/dev/null
  mv "$1.$3" "$4.$3"
}
convert source "MS Word 97" doc sample
convert source "MS Word 2007 XML" docx sample
convert source "Rich Text Format" rtf sample
for kind in table textbox; do
  convert "$kind" "MS Word 97" doc "$kind-sample"
  convert "$kind" "MS Word 2007 XML" docx "$kind-sample"
done
# LibreOffice writes the embedded Writer document as a Word object under the file's ObjectPool storage.
convert embedded "MS Word 97" doc embedded-sample
# The interpreter Debian's python3-uno belongs to, whatever python3 comes first on the path.
/usr/bin/python3 save-with-password.py source.fodt encrypted-sample.docx "MS Word 2007 XML" 1234 "$profile" 2>/dev/null

# The plain text of the same document, as the editor holds it (CR LF between paragraphs).
text=$'第一章\u3000绪论\r\n本文研究学术写作中的引用规范，分析了“合理引用”的边界（见表1）。\r\n调查对象包括Word 2016用户\t共326人；结果表明……规范训练十分必要！\r\n参考：GB/T 7714-2015《信息与文献\u3000参考文献著录规则》。'
printf '%s' "$text" > text-utf8.txt
printf '\xef\xbb\xbf%s' "$text" > text-utf8-bom.txt
{ printf '\xff\xfe'; printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE; } > text-utf16le-bom.txt
{ printf '\xfe\xff'; printf '%s' "$text" | iconv -f UTF-8 -t UTF-16BE; } > text-utf16be-bom.txt
printf '%s' "$text" | iconv -f UTF-8 -t GBK > text-gbk.txt

# Damaged variants: cut in half, and with a run of bytes overwritten in the middle.
python3 - <<'PY'
import pathlib
for name in ["sample.doc", "sample.docx", "sample.rtf", "text-gbk.txt"]:
    data = pathlib.Path(name).read_bytes()
    stem, ext = name.rsplit(".", 1)
    pathlib.Path(f"truncated-{stem}.{ext}").write_bytes(data[: len(data) // 2])
    middle = len(data) // 2
    damaged = data[:middle] + bytes([0xFF] * 64) + data[middle + 64 :]
    pathlib.Path(f"damaged-{stem}.{ext}").write_bytes(damaged)
pathlib.Path("not-a-document.bin").write_bytes(bytes(range(256)) * 4)
PY
echo "fixtures written"
