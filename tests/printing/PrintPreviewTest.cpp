// The printout: the text in the editor's font over A4 portrait pages, the page count growing
// with the text (lines that fit on a page, and one more), the PDF file, and the preview with
// its page-width zoom and its dialogs going through the prompter.
#include "printing/PrintPreview.h"

#include "tests/support/ExpectedWarning.h"
#include "tests/support/TestPrompter.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTranslator>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

QString Lines(int count, const QString& lineBreak = QStringLiteral("\r\n")) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) lines.append(QStringLiteral("Строка %1 текста").arg(i));
    return lines.join(lineBreak);
}

PrintJob Job(const QString& text, int pointSize = 9) {
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(pointSize);
    return PrintJob{text, font, Qt::black};
}

// A PDF writer on memory, as the layout's measuring device.
struct MemoryPdf {
    QBuffer buffer;
    QPdfWriter writer{&buffer};
    MemoryPdf() { writer.setPageLayout(PrintPageLayout()); }
};

int PagesOf(const PrintJob& job) {
    MemoryPdf pdf;
    return LayOutPrintText(job, pdf.writer)->pageCount();
}

// How many lines of the job's font fill one page.
int LinesPerPage(const PrintJob& job) {
    PrintJob probe = job;
    probe.text = Lines(1000);
    MemoryPdf pdf;
    const std::unique_ptr<QTextDocument> doc = LayOutPrintText(probe, pdf.writer);
    const qreal pageHeight = doc->pageSize().height();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        if (doc->documentLayout()->blockBoundingRect(b).bottom() > pageHeight) return b.blockNumber();
    return -1;
}

TEST(PrintLayout, IsA4Portrait) {
    const QPageLayout layout = PrintPageLayout();
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(layout.orientation(), QPageLayout::Portrait);
    const QSizeF mm = layout.fullRect(QPageLayout::Millimeter).size();
    EXPECT_NEAR(mm.width(), 210, 0.5);
    EXPECT_NEAR(mm.height(), 297, 0.5);
}

TEST(PrintLayout, UsesTheEditorsFontAndColour) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSize(14);
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(true);
    const PrintJob job{QStringLiteral("abc\r\nдва"), font, QColor(0x80, 0, 0)};
    MemoryPdf pdf;
    const std::unique_ptr<QTextDocument> doc = LayOutPrintText(job, pdf.writer);
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("abc\nдва"));
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            EXPECT_EQ(f.font().family(), "Liberation Serif");
            EXPECT_EQ(f.font().pointSize(), 14);
            EXPECT_TRUE(f.font().bold());
            EXPECT_TRUE(f.font().italic());
            EXPECT_TRUE(f.font().underline());
            EXPECT_EQ(f.foreground().color(), QColor(0x80, 0, 0));
        }
    }
}

TEST(PrintLayout, PagesGrowWithTheText) {
    const PrintJob job = Job({});
    const int perPage = LinesPerPage(job);
    MemoryPdf pdf;
    const qreal lineHeight = QFontMetricsF(job.font, &pdf.writer).lineSpacing();
    ASSERT_GT(perPage, 0);
    EXPECT_NEAR(perPage, pdf.writer.height() / lineHeight, 2) << "lines per page";

    struct Case {
        int lines;
        int pages;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {perPage, 1}, {perPage + 1, 2}, {2 * perPage, 2},
                          {2 * perPage + 1, 3}, {5 * perPage + 1, 6}};
    for (const Case& c : cases) EXPECT_EQ(PagesOf(Job(Lines(c.lines))), c.pages) << c.lines << " lines";
}

TEST(PrintLayout, EveryKindOfLineBreakStartsALine) {
    for (const char* lineBreak : {"\r\n", "\r", "\n"}) {
        const PrintJob job = Job(Lines(3, QString::fromLatin1(lineBreak)));
        MemoryPdf pdf;
        EXPECT_EQ(LayOutPrintText(job, pdf.writer)->blockCount(), 3);
    }
}

TEST(PrintLayout, ALargerFontNeedsMorePages) {
    const QString text = Lines(200);
    EXPECT_LT(PagesOf(Job(text, 9)), PagesOf(Job(text, 18)));
}

TEST(PrintLayout, LongLinesWrapInsteadOfBeingCut) {
    const PrintJob job = Job(QString(2000, u'x'));
    MemoryPdf pdf;
    const std::unique_ptr<QTextDocument> doc = LayOutPrintText(job, pdf.writer);
    EXPECT_GT(doc->begin().layout()->lineCount(), 10);
    EXPECT_LE(doc->idealWidth(), pdf.writer.width() + 1);
}

// The first line of page 2 belongs to a paragraph that starts on page 1 (the layout moved
// the line on): it is painted on page 2 only, not into the bottom margin of page 1.
TEST(PrintLayout, ALineMovedToTheNextPageIsPaintedThereOnly) {
    MemoryPdf pdf;
    pdf.writer.setResolution(96); // pages of a few hundred pixels, painted into images
    const PrintJob job = Job(Lines(LinesPerPage(Job({})) * 2));
    const std::unique_ptr<QTextDocument> doc = LayOutPrintText(job, pdf.writer);
    ASSERT_GE(doc->pageCount(), 2);
    const qreal pageHeight = doc->pageSize().height();
    QTextBlock moved = doc->begin();
    while (moved.isValid() && doc->documentLayout()->blockBoundingRect(moved).bottom() <= pageHeight)
        moved = moved.next();
    ASSERT_TRUE(moved.isValid());
    ASSERT_LT(doc->documentLayout()->blockBoundingRect(moved).top(), pageHeight)
        << "the paragraph that opens page 2 starts on page 1";

    // Page 1 painted on a canvas twice its height: nothing below the page.
    QImage canvas(doc->pageSize().toSize().width(), int(2 * pageHeight), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        PaintPrintPage(*doc, painter, 0, Qt::black);
    }
    bool paintedBelow = false;
    for (int y = int(pageHeight) + 1; y < canvas.height() && !paintedBelow; ++y)
        for (int x = 0; x < canvas.width() && !paintedBelow; ++x)
            paintedBelow = canvas.pixel(x, y) != QColor(Qt::white).rgb();
    EXPECT_FALSE(paintedBelow);
}

int PageObjects(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString pdf = QString::fromLatin1(file.readAll());
    return int(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

TEST(PrintToPdf, WritesOnePdfPagePerPage) {
    QTemporaryDir dir;
    const PrintJob job = Job({});
    const int perPage = LinesPerPage(job);
    for (int lines : {0, perPage + 1, 3 * perPage}) {
        const QString path = dir.filePath(QStringLiteral("out%1.pdf").arg(lines));
        const std::optional<int> pages = PrintToPdf(Job(Lines(lines)), path);
        ASSERT_TRUE(pages.has_value());
        EXPECT_EQ(*pages, PagesOf(Job(Lines(lines))));
        EXPECT_EQ(PageObjects(path), *pages) << lines << " lines";
    }
}

// Qt warns that it cannot begin painting on a PDF writer without its file.
constexpr auto kCannotPaint = "QPainter::begin(): Returned false";

TEST(PrintToPdf, ReportsAFileThatCannotBeWritten) {
    const test::ExpectedWarning cannotPaint(kCannotPaint);
    EXPECT_EQ(PrintToPdf(Job(Lines(3)), QStringLiteral("/nonexistent-folder/x.pdf")), std::nullopt);
}

QAction* ActionNamed(QDialog& dialog, const QString& text) {
    for (QAction* a : dialog.findChildren<QAction*>())
        if (a->text() == text || a->objectName() == text) return a;
    return nullptr;
}

TEST(PrintPreview, OpensOnSinglePagesAtPageWidthAndShowsEveryPage) {
    test::TestPrompter prompter;
    const PrintJob job = Job(Lines(LinesPerPage(Job({})) + 1));
    int pageCount = -1;
    QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
    QPrintPreviewWidget::ViewMode view = QPrintPreviewWidget::FacingPagesView;
    prompter.answerDialog([&](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        pageCount = preview ? preview->pageCount() : -2;
        zoom = preview ? preview->zoomMode() : zoom;
        view = preview ? preview->viewMode() : view;
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ShowPrintPreview(job, nullptr), QDialog::Accepted);
    ASSERT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(prompter.last().className, "QPrintPreviewDialog");
    EXPECT_EQ(pageCount, 2);
    EXPECT_EQ(zoom, QPrintPreviewWidget::FitToWidth);
    EXPECT_EQ(view, QPrintPreviewWidget::SinglePageView);
}

TEST(PrintPreview, AnEmptyTextPreviewsOneEmptyPage) {
    test::TestPrompter prompter;
    int pageCount = -1;
    prompter.answerDialog([&](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        pageCount = dialog.findChild<QPrintPreviewWidget*>()->pageCount();
        return int(QDialog::Rejected);
    });
    ShowPrintPreview(Job({}), nullptr);
    EXPECT_EQ(pageCount, 1);
}

TEST(PrintPreview, ItsDialogsGoThroughThePrompter) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("preview.pdf");
    test::TestPrompter prompter;
    prompter.answerDialog([&](QDialog& dialog) {
        for (const QString& name : {QPrintPreviewDialog::tr("Page setup"), QPrintPreviewDialog::tr("Print"),
                                    QStringLiteral("saveAsPdfAction")}) {
            QAction* action = ActionNamed(dialog, name);
            EXPECT_NE(action, nullptr) << name.toStdString();
            if (action) action->trigger();
        }
        return int(QDialog::Rejected);
    });
    prompter.answerDialog({}); // page set-up: cancelled
    prompter.answerDialog({}); // print dialog: cancelled
    prompter.answerSaveFile(pdf);
    ShowPrintPreview(Job(Lines(10)), nullptr);

    std::vector<QString> asked;
    for (const test::PromptRecord& r : prompter.records()) asked.push_back(r.className + r.caption);
    const std::vector<QString> expected = {QStringLiteral("QPrintPreviewDialogПредварительный просмотр"),
                                           QStringLiteral("QPageSetupDialog") + prompter.records()[1].caption,
                                           QStringLiteral("QPrintDialog") + prompter.records()[2].caption,
                                           QStringLiteral("Сохранить в PDF")};
    EXPECT_EQ(asked, expected);
    EXPECT_TRUE(prompter.answersUsed());
    EXPECT_EQ(PageObjects(pdf), 1);
}

// The preview's print and page set-up actions are found by their translated texts; under the
// Russian translation the editor installs they are found all the same.
TEST(PrintPreview, ItsActionsAreFoundUnderTheRussianTranslation) {
    QTranslator russian;
    if (!russian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        GTEST_SKIP() << "Qt's Russian translation is not installed";
    QApplication::installTranslator(&russian);
    QPrinter printer;
    QPrintPreviewDialog dialog(&printer);
    EXPECT_EQ(QPrintPreviewDialog::tr("Print"), QString::fromUtf8("Печать"));
    for (const QString& text : {QPrintPreviewDialog::tr("Print"), QPrintPreviewDialog::tr("Page setup")})
        EXPECT_NE(ActionNamed(dialog, text), nullptr) << text.toStdString();
    QApplication::removeTranslator(&russian);
}

TEST(PrintPreview, ReportsAPdfThatCannotBeWritten) {
    const test::ExpectedWarning cannotPaint(kCannotPaint);
    test::TestPrompter prompter;
    prompter.answerDialog([&](QDialog& dialog) {
        ActionNamed(dialog, QStringLiteral("saveAsPdfAction"))->trigger();
        return int(QDialog::Rejected);
    });
    prompter.answerSaveFile(QStringLiteral("/nonexistent-folder/x.pdf"));
    ShowPrintPreview(Job(Lines(10)), nullptr);
    ASSERT_EQ(prompter.records().size(), 3u);
    EXPECT_EQ(prompter.last().text, QStringLiteral("Ошибка сохранения файла\r/nonexistent-folder/x.pdf"));
    EXPECT_EQ(prompter.last().caption, QStringLiteral("Ошибка!"));
}

} // namespace
} // namespace lumivar
