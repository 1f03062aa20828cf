#!/bin/bash
# Makes the workbook fixtures of tests/forms/workbooks with LibreOffice Calc (Debian's
# libreoffice-calc-nogui), as a lab's engineer would: a flat OpenDocument sheet written here,
# then saved by LibreOffice as .xlsx, .ods and a Russian "Save as CSV". The tests read only the
# files it made, so they need no LibreOffice.
set -euo pipefail
out=$(cd "$(dirname "$0")/../tests/forms/workbooks" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
      'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" '
      'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
      'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"')
# A Russian document: "," before the decimals, as a Russian engineer's LibreOffice writes them.
STYLES = '''<office:styles><style:default-style style:family="table-cell"><style:text-properties fo:language="ru" fo:country="RU"/></style:default-style></office:styles>
<office:automatic-styles>
 <number:number-style style:name="N3" number:language="ru" number:country="RU"><number:number number:decimal-places="3" number:min-decimal-places="3" number:min-integer-digits="1"/></number:number-style>
 <number:number-style style:name="N2" number:language="ru" number:country="RU"><number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1"/></number:number-style>
 <style:style style:name="ce3" style:family="table-cell" style:data-style-name="N3"/>
 <style:style style:name="ce2" style:family="table-cell" style:data-style-name="N2"/>
</office:automatic-styles>'''

def text(t, span=1):
    extra = f' table:number-columns-spanned="{span}" table:number-rows-spanned="1"' if span > 1 else ''
    cell = f'<table:table-cell office:value-type="string"{extra}><text:p>{t}</text:p></table:table-cell>'
    return cell + '<table:covered-table-cell/>' * (span - 1)

def formula(f, style):
    return f'<table:table-cell table:style-name="{style}" table:formula="of:={f}" />'

def number(v, style):
    return f'<table:table-cell table:style-name="{style}" office:value-type="float" office:value="{v}"/>'

def row(cells):
    return '<table:table-row>' + ''.join(cells) + '</table:table-row>'

def tank(name, title, rows_m, coef, first):
    """A lab's sheet: a merged title, the header, levels in metres made by a formula adding
    1 cm to the row above (as an engineer fills a column), volumes in m3 by a formula."""
    r = [row([text(title, 2)]), row([text('Уровень, м'), text('Объём, м³')])]
    for i in range(rows_m + 1):
        n = i + first
        lv = number(0, 'ce2') if i == 0 else formula(f'[.A{n - 1}]+0.01', 'ce2')
        r.append(row([lv, formula(f'ROUND([.A{n}]*[.A{n}]*{coef}+[.A{n}]*2.17;3)', 'ce3')]))
    r.append(row([]))
    r.append(row([text('Поверитель ______ /Петров П.П./')]))
    return f'<table:table table:name="{name}">' + ''.join(r) + '</table:table>'

def fods(tables):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<office:document {NS} office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
            + STYLES + '<office:body><office:spreadsheet>' + ''.join(tables) +
            '</office:spreadsheet></office:body></office:document>')

# One tank, up to 2.50 m: the "2,30999999999999" of a formula-made level column.
open(f'{work}/lab_tank.fods', 'w').write(fods([tank('Резервуар 1', 'Градуировочная таблица резервуара РГС-25 №1', 250, 3.41, 3)]))
# Two tanks on two sheets behind a title sheet without a table.
title = '<table:table table:name="Титул">' + row([text('Градуировочные таблицы')]) + '</table:table>'
open(f'{work}/two_tanks.fods', 'w').write(fods([
    title,
    tank('Резервуар 1', 'Резервуар 1', 120, 1.93, 3),
    tank('Резервуар 2', 'Резервуар 2', 80, 5.07, 3)]))
PY

cd "$work"
for f in lab_tank two_tanks; do
    soffice --headless --convert-to xlsx --outdir "$work" "$f.fods" >/dev/null
    soffice --headless --convert-to ods --outdir "$work" "$f.fods" >/dev/null
done
# The CSV as the engineer saved it: ";", code page 1251, the cells' raw values ("as shown" off),
# and the same sheet as shown, from which the tests take the sheet's litres.
soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):59,34,34,1,,1049,false,true,false' \
    --outdir "$work/raw" lab_tank.fods >/dev/null
soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1,,1049,false,true,true' \
    --outdir "$work/shown" lab_tank.fods >/dev/null
# Each tank of the two-tank workbook as shown, a file per sheet.
soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1,,1049,false,true,true,false,false,-1' \
    --outdir "$work/shown" two_tanks.fods >/dev/null
cp "shown/two_tanks-Резервуар 1.csv" "$out/two_tanks_shown_1.csv"
cp "shown/two_tanks-Резервуар 2.csv" "$out/two_tanks_shown_2.csv"

# What a workbook must not do to the reader, made by hand (no spreadsheet program writes them):
# a bzip2 member of 1 GiB of zeros in 1 KiB, once with its true size and once claiming 1 KiB;
# a shared string index past the list.
python3 - "$work" <<'PY'
import sys, zipfile, struct
work = sys.argv[1]
def minimal(name, sheet_xml, sst_xml, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(f'{work}/{name}', 'w', method) as z:
        z.writestr('[Content_Types].xml', '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
        z.writestr('xl/workbook.xml', '<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Лист1" sheetId="1" r:id="rId1"/></sheets></workbook>')
        z.writestr('xl/_rels/workbook.xml.rels', '<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/></Relationships>')
        z.writestr('xl/sharedStrings.xml', sst_xml)
        z.writestr('xl/worksheets/sheet1.xml', sheet_xml)
minimal('shared_string_out_of_range.xlsx',
        '<worksheet><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>'
        '<row r="2"><c r="A2"><v>0</v></c><c r="B2" t="s"><v>7</v></c></row></sheetData></worksheet>',
        '<sst><si><t>Уровень, мм</t></si><si><t>Объём, л</t></si></sst>')
# 1 GiB of zeros as the shared strings, the first part read: bzip2 packs it into a few hundred
# bytes.
zeros = b'\0' * (1 << 20)
with zipfile.ZipFile(f'{work}/bomb.xlsx', 'w', zipfile.ZIP_BZIP2) as z:
    z.writestr('xl/workbook.xml', '<workbook/>')
    with z.open('xl/sharedStrings.xml', 'w', force_zip64=True) as f:
        for _ in range(1024):
            f.write(zeros)
data = bytearray(open(f'{work}/bomb.xlsx', 'rb').read())
# The same archive claiming 1 KiB: the size fields of both headers rewritten, ZIP64 extras too.
lying = data.replace(struct.pack('<Q', 1 << 30), struct.pack('<Q', 1024))
open(f'{work}/bomb_lying.xlsx', 'wb').write(lying)
PY
cp bomb.xlsx bomb_lying.xlsx shared_string_out_of_range.xlsx "$out/"
cp lab_tank.xlsx lab_tank.ods two_tanks.xlsx two_tanks.ods "$out/"
cp raw/lab_tank.csv "$out/lab_tank_raw_cp1251.csv"
cp shown/lab_tank.csv "$out/lab_tank_shown.csv"
ls -l "$out"
