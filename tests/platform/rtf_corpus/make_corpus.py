#!/usr/bin/env python3
# Contract texts made by another word processor: each written as that program's own document
# (flat ODF), then saved by LibreOffice as RTF (the corpus) and as plain text (the words and
# clause labels it shows), and as PDF for a look. Run: make_corpus.py OUTDIR
import base64, os, struct, subprocess, sys, zlib

NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
      'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
      'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
      'xmlns:xlink="http://www.w3.org/1999/xlink" '
      'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"')

BASE_STYLES = '''
<style:style style:name="R" style:family="paragraph"><style:paragraph-properties fo:text-align="end" style:writing-mode="rl-tb"/><style:text-properties style:font-name-complex="DejaVu Sans" fo:font-size="12pt" style:font-size-complex="12pt"/></style:style>
<style:style style:name="T" style:family="paragraph"><style:paragraph-properties fo:text-align="center" style:writing-mode="rl-tb"/><style:text-properties fo:font-weight="bold" style:font-weight-complex="bold" fo:font-size="16pt" style:font-size-complex="16pt"/></style:style>
'''

def page_layout(header='', footer='', landscape=False):
    w, h = ('29.7cm', '21cm') if landscape else ('21cm', '29.7cm')
    hs = '<style:header-style/>' if header else ''
    fs = '<style:footer-style/>' if footer else ''
    auto = (f'<style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="{w}" '
            f'fo:page-height="{h}" fo:margin-top="2cm" fo:margin-bottom="2cm" fo:margin-left="2cm" '
            f'fo:margin-right="2cm" style:writing-mode="rl-tb"/>{hs}{fs}</style:page-layout>')
    master = ('<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1">'
              + (f'<style:header>{header}</style:header>' if header else '')
              + (f'<style:footer>{footer}</style:footer>' if footer else '')
              + '</style:master-page></office:master-styles>')
    return auto, master

def doc(body, styles='', header='', footer='', landscape=False):
    auto, master = page_layout(header, footer, landscape)
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document {NS} office:version="1.2" '
            'office:mimetype="application/vnd.oasis.opendocument.text">'
            f'<office:automatic-styles>{BASE_STYLES}{styles}{auto}</office:automatic-styles>{master}'
            f'<office:body><office:text>{body}</office:text></office:body></office:document>')

def p(text, style='R'):
    return f'<text:p text:style-name="{style}">{text}</text:p>'

def png(w, h):
    # a red stamp: a filled square with a white border
    rows = b''
    for y in range(h):
        row = b'\x00'
        for x in range(w):
            edge = x < 3 or y < 3 or x >= w - 3 or y >= h - 3
            row += b'\xff\xff\xff' if edge else b'\xc0\x10\x10'
        rows += row
    def chunk(t, d):
        c = struct.pack('>I', len(d)) + t + d
        return c + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))

LEVEL = ('<style:list-level-properties text:list-level-position-and-space-mode="label-alignment">'
         '<style:list-level-label-alignment text:label-followed-by="listtab" fo:text-indent="-0.6cm" '
         'fo:margin-left="{m}cm"/></style:list-level-properties>')

docs = {}

# 1. a lease with a page-number header and footer and a footnote
docs['lease_header_footnote'] = doc(
    p('قرارداد اجاره‌نامه', 'T')
    + p('موجر: آقای محمد رضایی فرزند علی')
    + p('مستأجر: خانم زهرا احمدی<text:note text:id="ftn1" text:note-class="footnote"><text:note-citation>1</text:note-citation>'
        '<text:note-body><text:p text:style-name="R">کد رهگیری 4711 در سامانه ثبت شد</text:p></text:note-body></text:note>'
        ' فرزند حسن')
    + p('مدت اجاره یک سال شمسی از تاریخ ۱۴۰۳/۰۱/۰۱ است.'),
    header=p('صفحه <text:page-number text:select-page="current">1</text:page-number>'),
    footer=p('<text:page-number text:select-page="current">1</text:page-number>'))

# 2. clauses numbered on two levels with parents ("1.1."), a list starting at 5 and Persian digits
numbered = ('<text:list-style style:name="L1">'
            '<text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="1">'
            + LEVEL.format(m='1.2') + '</text:list-level-style-number>'
            '<text:list-level-style-number text:level="2" style:num-suffix="." style:num-format="1" text:display-levels="2">'
            + LEVEL.format(m='2.4') + '</text:list-level-style-number></text:list-style>'
            '<text:list-style style:name="L2"><text:list-level-style-number text:level="1" style:num-suffix="-" '
            'style:num-format="1" text:start-value="5">' + LEVEL.format(m='1.2') + '</text:list-level-style-number></text:list-style>'
            '<text:list-style style:name="L3"><text:list-level-style-number text:level="1" style:num-suffix=")" '
            'style:num-format="۱, ۲, ۳, ...">' + LEVEL.format(m='1.2') + '</text:list-level-style-number></text:list-style>'
            '<style:style style:name="N1" style:family="paragraph" style:parent-style-name="R" style:list-style-name="L1"/>'
            '<style:style style:name="N2" style:family="paragraph" style:parent-style-name="R" style:list-style-name="L2"/>'
            '<style:style style:name="N3" style:family="paragraph" style:parent-style-name="R" style:list-style-name="L3"/>')
def li(text, style, sub=None):
    inner = p(text, style)
    if sub:
        inner += '<text:list>' + ''.join(f'<text:list-item>{p(s, style)}</text:list-item>' for s in sub) + '</text:list>'
    return f'<text:list-item>{inner}</text:list-item>'
docs['clauses_numbered'] = doc(
    p('شرایط قرارداد', 'T')
    + '<text:list text:style-name="L1">'
    + li('موضوع قرارداد', 'N1', ['یک واحد آپارتمان', 'با یک انباری'])
    + li('مبلغ اجاره', 'N1', ['ماهانه پرداخت می‌شود', 'در پایان هر ماه', 'به حساب موجر'])
    + li('تعهدات', 'N1')
    + '</text:list>'
    + p('بندهای الحاقی:')
    + '<text:list text:style-name="L2">' + li('تعمیرات جزئی با مستأجر', 'N2') + li('تعمیرات اساسی با موجر', 'N2') + '</text:list>'
    + '<text:list text:style-name="L3">' + li('تحویل کلید', 'N3') + li('تسویه قبوض', 'N3') + '</text:list>',
    styles=numbered)

# 3. right-to-left bullets with a hanging indent
bullets = ('<text:list-style style:name="B1"><text:list-level-style-bullet text:level="1" text:bullet-char="•">'
           + LEVEL.format(m='1.27') + '</text:list-level-style-bullet></text:list-style>'
           '<style:style style:name="BP" style:family="paragraph" style:parent-style-name="R" style:list-style-name="B1"/>')
docs['bullets_rtl'] = doc(
    p('مدارک لازم', 'T') + '<text:list text:style-name="B1">'
    + ''.join(li(t, 'BP') for t in ['کارت ملی موجر و مستأجر', 'سند مالکیت یا وکالت‌نامه رسمی', 'قبض آب و برق و گاز'])
    + '</text:list>', styles=bullets)

# 4. a right-to-left cheque table wider than portrait paper
cols = ['ردیف', 'شماره چک', 'بانک', 'شعبه', 'تاریخ', 'مبلغ', 'صادرکننده', 'گیرنده', 'بابت', 'وضعیت', 'توضیحات', 'امضا']
table_styles = ('<style:style style:name="Tab1" style:family="table"><style:table-properties style:width="26cm" '
                'table:align="right" style:writing-mode="rl-tb"/></style:style>'
                '<style:style style:name="Tab1.C" style:family="table-column"><style:table-column-properties style:column-width="2.1cm"/></style:style>'
                '<style:style style:name="Tab1.Cell" style:family="table-cell"><style:table-cell-properties fo:border="0.5pt solid #000000" fo:padding="0.05cm"/></style:style>')
def row(cells):
    return '<table:table-row>' + ''.join(
        f'<table:table-cell table:style-name="Tab1.Cell" office:value-type="string">{p(c)}</table:table-cell>' for c in cells) + '</table:table-row>'
rows = row(cols) + ''.join(row([str(i), f'{7300+i}', 'ملت', 'ونک', f'1403/0{i}/15', f'{i*25},000,000', 'رضایی', 'احمدی',
                                 'اجاره', 'وصول نشده', '-', '']) for i in range(1, 7))
docs['cheque_table_wide'] = doc(
    p('فهرست چک‌های قرارداد', 'T')
    + f'<table:table table:name="Cheques" table:style-name="Tab1"><table:table-column table:style-name="Tab1.C" table:number-columns-repeated="12"/>{rows}</table:table>'
    + p('پایان فهرست'), styles=table_styles)

# 5. a picture (stamp) between two paragraphs
stamp = base64.b64encode(png(60, 40)).decode()
docs['picture_stamp'] = doc(
    p('مهر و امضای بنگاه', 'T')
    + p('<draw:frame draw:name="stamp" text:anchor-type="as-char" svg:width="3cm" svg:height="2cm">'
        f'<draw:image><office:binary-data>{stamp}</office:binary-data></draw:image></draw:frame>')
    + p('محل مهر بنگاه املاک'))

# 6. signature line with dotted leaders, and amounts on a decimal tab
tab_styles = ('<style:style style:name="S1" style:family="paragraph" style:parent-style-name="R"><style:paragraph-properties>'
              '<style:tab-stops><style:tab-stop style:position="8.5cm" style:type="center" style:leader-style="dotted" style:leader-text="."/>'
              '<style:tab-stop style:position="16.5cm" style:type="right" style:leader-style="dotted" style:leader-text="."/></style:tab-stops>'
              '</style:paragraph-properties></style:style>'
              '<style:style style:name="S2" style:family="paragraph" style:parent-style-name="R"><style:paragraph-properties>'
              '<style:tab-stops><style:tab-stop style:position="12cm" style:type="char" style:char="."/></style:tab-stops>'
              '</style:paragraph-properties></style:style>')
docs['signature_tabs'] = doc(
    p('امضای موجر<text:tab/>امضای مستأجر<text:tab/>امضای مشاور', 'S1')
    + p('ودیعه<text:tab/>150000000.50', 'S2') + p('اجاره ماهانه<text:tab/>12000000.25', 'S2'),
    styles=tab_styles)

# 7. two columns in a section, a column break, then a page break
col_styles = ('<style:style style:name="Sect1" style:family="section"><style:section-properties style:writing-mode="rl-tb">'
              '<style:columns fo:column-count="2" fo:column-gap="0.5cm"/></style:section-properties></style:style>'
              '<style:style style:name="CB" style:family="paragraph" style:parent-style-name="R"><style:paragraph-properties fo:break-before="column"/></style:style>'
              '<style:style style:name="PB" style:family="paragraph" style:parent-style-name="R"><style:paragraph-properties fo:break-before="page"/></style:style>')
docs['columns_sections'] = doc(
    p('مشخصات طرفین', 'T')
    + '<text:section text:style-name="Sect1" text:name="s1">' + p('ستون اول: موجر') + p('ستون دوم: مستأجر', 'CB') + '</text:section>'
    + p('صفحه دوم قرارداد', 'PB'), styles=col_styles)

# 8. hidden text inside a clause
docs['hidden_text'] = doc(
    p('مبلغ ودیعه <text:span text:style-name="H">(یادداشت داخلی: تخفیف داده شد)</text:span>صد میلیون ریال است.'),
    styles='<style:style style:name="H" style:family="text"><style:text-properties text:display="none"/></style:style>')

out = sys.argv[1] if len(sys.argv) > 1 else 'out'
os.makedirs(out, exist_ok=True)
for name, xml in docs.items():
    with open(os.path.join(out, name + '.fodt'), 'w', encoding='utf-8') as f:
        f.write(xml)
files = [os.path.join(out, n + '.fodt') for n in docs]
for fmt in ['rtf', 'txt:Text (encoded):UTF8', 'pdf']:
    subprocess.run(['soffice', '--headless', '--convert-to', fmt, '--outdir', out] + files,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
