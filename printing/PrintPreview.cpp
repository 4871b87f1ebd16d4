// Layout of the print text with QTextDocument, painting page by page, and the preview dialog
// whose own modal dialogs (print, page set-up) are routed through the prompter.
#include "printing/PrintPreview.h"

#include "app/util/Msg.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>

#include <algorithm>

namespace lumivar {
namespace {

// Left margin wider for binding; the others leave the printer's unprintable border clear.
constexpr double kLeftMarginMm = 20;
constexpr double kMarginMm = 15;
constexpr int kPreviewWidth = 1000; // pixels: a page at page-width zoom reads well at this size

// Line breaks of every kind become the document's paragraph breaks.
QString WithParagraphBreaks(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

// Replaces the preview's handler of one of its toolbar actions, found by its (translated)
// text; the preview's own handler would open its dialog past the prompter.
template <typename Handler>
void ReplaceAction(QPrintPreviewDialog& dialog, const QString& text, Handler handler) {
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (action->text() != text) continue;
        QObject::disconnect(action, nullptr, &dialog, nullptr);
        QObject::connect(action, &QAction::triggered, &dialog, handler);
        return;
    }
}

void SaveAsPdf(const PrintJob& job, const QPageLayout& layout) {
    FileDialogRequest request;
    request.title = QStringLiteral("Сохранить в PDF");
    request.filter = QStringLiteral("PDF (*.pdf)|*.pdf");
    const std::optional<QString> path = CurrentPrompter().saveFileName(request);
    if (!path) return;
    if (!PrintToPdf(job, *path, layout))
        ShowMsg(QStringLiteral("Ошибка сохранения файла\r") + *path, QStringLiteral("Ошибка!"), mkPlain);
}

} // namespace

QPageLayout PrintPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kLeftMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

std::unique_ptr<QTextDocument> LayOutPrintText(const PrintJob& job, QPagedPaintDevice& device) {
    auto doc = std::make_unique<QTextDocument>();
    // Measure with the device's resolution, so that what the preview shows is what prints.
    doc->documentLayout()->setPaintDevice(&device);
    doc->setDocumentMargin(0);
    doc->setDefaultFont(job.font);
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(job.font, &device).horizontalAdvance(u' ') * job.tabWidth);
    doc->setDefaultTextOption(option);

    QTextCharFormat format;
    format.setFont(job.font);
    format.setForeground(job.color);
    QTextCursor cursor(doc.get());
    cursor.setBlockCharFormat(format);
    cursor.insertText(WithParagraphBreaks(job.text), format);

    doc->setPageSize(QSizeF(device.width(), device.height()));
    return doc;
}

std::optional<int> PrintToDevice(const PrintJob& job, QPagedPaintDevice& device) {
    const std::unique_ptr<QTextDocument> doc = LayOutPrintText(job, device);
    QPainter painter;
    if (!painter.begin(&device)) return std::nullopt;
    const int pages = doc->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage()) return std::nullopt;
        PaintPrintPage(*doc, painter, i, job.color);
    }
    return painter.end() ? std::optional<int>(pages) : std::nullopt;
}

void PaintPrintPage(const QTextDocument& doc, QPainter& painter, int page, const QColor& color) {
    const QSizeF size = doc.pageSize();
    const QRectF area(0, page * size.height(), size.width(), size.height());
    painter.save();
    painter.translate(0, -area.top());
    // The layout paints every paragraph that reaches into the area, with all its lines; the
    // clip keeps the lines of such a paragraph that lie on the next page off this one.
    painter.setClipRect(area);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = area;
    context.palette.setColor(QPalette::Text, color);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

std::optional<int> PrintToPdf(const PrintJob& job, const QString& path, const QPageLayout& layout) {
    QPdfWriter writer(path);
    writer.setPageLayout(layout);
    writer.setCreator(QStringLiteral("Lumivar"));
    return PrintToDevice(job, writer);
}

int ShowPrintPreview(const PrintJob& job, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(PrintPageLayout());
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Предварительный просмотр"));
    // Qt's own size shows a page too small to read; take most of the screen's height.
    if (const QScreen* screen = (parent ? parent->screen() : QGuiApplication::primaryScreen())) {
        const QRect area = screen->availableGeometry();
        dialog.resize(std::min(area.width(), kPreviewWidth), area.height() * 9 / 10);
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&job](QPrinter* target) { PrintToDevice(job, *target); });

    QPrintPreviewWidget* preview = dialog.findChild<QPrintPreviewWidget*>();
    // One page after the other at page width: Qt's dialog would open on facing pages, page 1
    // alone on the right, which reads as a book, not as a printout of a text.
    for (const char* name : {"singleModeAction", "fitWidthAction"})
        if (QAction* action = dialog.findChild<QAction*>(QLatin1String(name))) action->trigger();
    ReplaceAction(dialog, QPrintPreviewDialog::tr("Print"), [&] {
        QPrintDialog ask(&printer, &dialog);
        if (CurrentPrompter().execDialog(ask) == QDialog::Accepted && preview) preview->print();
    });
    ReplaceAction(dialog, QPrintPreviewDialog::tr("Page setup"), [&] {
        QPageSetupDialog ask(&printer, &dialog);
        if (CurrentPrompter().execDialog(ask) == QDialog::Accepted && preview) preview->updatePreview();
    });
    if (QToolBar* bar = dialog.findChild<QToolBar*>()) {
        QAction* pdf = bar->addAction(dialog.style()->standardIcon(QStyle::SP_DialogSaveButton),
                                      QStringLiteral("Сохранить в PDF..."));
        pdf->setObjectName(QStringLiteral("saveAsPdfAction"));
        QObject::connect(pdf, &QAction::triggered, &dialog,
                         [&] { SaveAsPdf(job, printer.pageLayout()); });
    }
    return CurrentPrompter().execDialog(dialog);
}

} // namespace lumivar
