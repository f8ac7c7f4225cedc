// Contract texts made by another word processor (tests/platform/rtf_corpus): each read shows
// the words and clause labels that program shows for it, in its order; written and read again
// it shows them still; printed on portrait and landscape paper it ends, every page moving on.
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "platform/richtext/ListLabels.h"
#include "platform/richtext/Rtf.h"
#include "platform/richtext/RtfUnits.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

QString corpus(const QString& name)
{
    return QStringLiteral(DOVIN_SOURCE_DIR "/tests/platform/rtf_corpus/") + name;
}

QByteArray bytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The words of a text; bullets are drawn, not words, and a picture's place holds no word.
QStringList words(QString text)
{
    text.remove(QChar(0xFEFF));
    text.replace(QChar::ObjectReplacementCharacter, QLatin1Char(' '));
    text.replace(QChar(0x2022), QLatin1Char(' '));
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// A paragraph as the editor shows it: its clause label (bullets are drawn, not words), its text.
QString paragraph(const QTextBlock& b)
{
    const QString label = richtext::listLabel(b);
    return (label.isEmpty() ? QString() : label + QLatin1Char(' ')) + b.text() + QLatin1Char('\n');
}

// What the editor shows, in reading order: a right-to-left table row from its rightmost cell.
QString shown(const QTextFrame* frame)
{
    QString out;
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (it.currentBlock().isValid()) {
            out += paragraph(it.currentBlock());
        } else if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            const bool rtl = table->format().property(richtext::TableRowsRightToLeft).toBool();
            for (int r = 0; r < table->rows(); ++r)
                for (int k = 0; k < table->columns(); ++k) {
                    const QTextTableCell cell = table->cellAt(r, rtl ? table->columns() - 1 - k : k);
                    if (cell.row() != r || cell.column() != (rtl ? table->columns() - 1 - k : k))
                        continue;   // covered by a merged cell
                    for (auto in = cell.begin(); !in.atEnd(); ++in)
                        if (in.currentBlock().isValid())
                            out += paragraph(in.currentBlock());
                }
        } else if (it.currentFrame()) {
            out += shown(it.currentFrame());
        }
    }
    return out;
}
QString shown(const QTextDocument& doc) { return shown(doc.rootFrame()); }

struct Case {
    const char* file;
    // words the other program's plain text shows that this one must not (a dropped footnote's
    // mark): replaced before comparing
    std::vector<std::pair<const char*, const char*>> replaced;
};

class Corpus : public testing::TestWithParam<Case> {};

TEST_P(Corpus, WordsAndLabelsAsTheOtherProgramShowsThem)
{
    const Case& c = GetParam();
    const QString name = QString::fromLatin1(c.file);
    QString expected = QString::fromUtf8(bytes(corpus(name + QStringLiteral(".txt"))));
    for (const auto& [from, to] : c.replaced)
        expected.replace(QString::fromUtf8(from), QString::fromUtf8(to));

    QTextDocument doc;
    ASSERT_EQ(richtext::readRtf(&doc, bytes(corpus(name + QStringLiteral(".rtf")))), richtext::LoadResult::Loaded);
    EXPECT_EQ(words(shown(doc)).join(QLatin1Char(' ')).toStdString(), words(expected).join(QLatin1Char(' ')).toStdString());

    // written and read back: the same words and labels (DOVIN_CORPUS_OUT keeps what was
    // written, for a look in the other word processor)
    const QByteArray written = richtext::writeRtf(&doc);
    if (qEnvironmentVariableIsSet("DOVIN_CORPUS_OUT")) {
        QFile out(qEnvironmentVariable("DOVIN_CORPUS_OUT") + QLatin1Char('/') + name + QStringLiteral(".rtf"));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(written) == written.size());
    }
    QTextDocument again;
    richtext::readRtf(&again, written);
    EXPECT_EQ(words(shown(again)).join(QLatin1Char(' ')).toStdString(), words(shown(doc)).join(QLatin1Char(' ')).toStdString());
}

TEST_P(Corpus, PrintsOnBothPapersAndEnds)
{
    report::installFontSubstitutions();
    QTextDocument doc;
    richtext::readRtf(&doc, bytes(corpus(QString::fromLatin1(GetParam().file) + QStringLiteral(".rtf"))));
    for (const auto orientation : {report::Portrait, report::Landscape}) {
        QElapsedTimer clock;
        clock.start();
        report::Report rep(10, orientation);
        rep.band(report::BandType::Title, 0)
            .addRichText(QStringLiteral("rt"), QRect(0, 0, rep.printableWidth(), 0), &doc);
        const report::PreparedReport r = rep.prepare();
        EXPECT_GE(r.pageCount(), 1);
        EXPECT_LE(r.pageCount(), 5) << "a one-page contract";
        EXPECT_LT(clock.elapsed(), 5000);
    }
}

const Case kCases[] = {
    {"bullets_rtl", {}},
    {"cheque_table_wide", {}},
    {"clauses_numbered", {}},
    {"columns_sections", {}},
    {"hidden_text", {}},   // the other program saves this hidden text as plain text
    {"lease_header_footnote", {{"احمدی1", "احمدی"}}},
    {"picture_stamp", {}},
    {"signature_tabs", {}},
};

INSTANTIATE_TEST_SUITE_P(Files, Corpus, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.file); });

TEST(CorpusPrint, ALineTallerThanThePageEnds)
{
    report::installFontSubstitutions();
    QTextDocument doc;
    richtext::readRtf(&doc, bytes(corpus(QStringLiteral("line_taller_than_page.rtf"))));
    report::Report rep(10, report::Portrait);
    rep.band(report::BandType::Title, 0).addRichText(QStringLiteral("rt"), QRect(0, 0, rep.printableWidth(), 0), &doc);
    const report::PreparedReport r = rep.prepare();
    EXPECT_GE(r.pageCount(), 1);
    EXPECT_LE(r.pageCount(), 10);
}

} // namespace
