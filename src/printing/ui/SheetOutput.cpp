#include "printing/ui/SheetOutput.h"

#include "framework/ui/QtCanvas.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace tavora::printing::ui {

namespace {

// The pages of a paged device, one sheet each, scaled from the sheet's pixels.
class DeviceTarget : public SheetPageTarget {
public:
    DeviceTarget(QPagedPaintDevice& device, framework::Size sheet, const std::atomic<bool>* cancel)
        : m_device(device), m_canvas(device, sheet), m_cancel(cancel) {}
    bool active() const { return m_canvas.isActive(); }
    framework::Canvas& canvas() override { return m_canvas; }
    bool newPage() override { return !cancelled() && m_device.newPage(); }
    bool cancelled() const { return m_cancel && m_cancel->load(); }

private:
    QPagedPaintDevice& m_device;
    framework::ui::QtCanvas m_canvas;
    const std::atomic<bool>* m_cancel;
};

OutputResult drawOnDevice(QPagedPaintDevice& device, const SheetInput& input, int first, int last,
                          const std::atomic<bool>* cancel = nullptr) {
    OutputResult result;
    DeviceTarget target(device, input.geometry.sheet, cancel);
    if (!target.active()) {
        result.error = "cannot start painting on the output device";
        return result;
    }
    result.pages = drawSheets(target, input, first, last);
    if (target.cancelled()) {
        result.pages = 0;
        result.cancelled = true;
        result.error = "cancelled";
        return result;
    }
    if (result.pages < 0) {
        result.pages = 0;
        result.error = "the output device refused a new page";
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace

void prepareA4(QPagedPaintDevice& device, Orientation orientation) {
    device.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4),
                    orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                    QMarginsF(0, 0, 0, 0)));
}

QImage renderSheetImage(const SheetInput& input, int sheet) {
    QImage image(input.geometry.sheet.width, input.geometry.sheet.height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    SheetInput preview = input;
    preview.printing = false;
    framework::ui::QtCanvas canvas(image);
    drawSheet(canvas, preview, sheet);
    return image;
}

OutputResult writeSheetsPdf(const std::string& path, const SheetInput& input, const std::string& title,
                            int first, int last, const std::atomic<bool>* cancel) {
    OutputResult result;
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString().toStdString();
        return result;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(QString::fromStdString(title));
        writer.setCreator(QStringLiteral("Tavora"));
        prepareA4(writer, input.choices.orientation);
        result = drawOnDevice(writer, input, first, last, cancel);
    } // the writer finishes the file here
    if (result.ok && cancel && cancel->load()) {
        result = OutputResult{};
        result.cancelled = true;
        result.error = "cancelled";
    }
    if (!result.ok) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.ok = false;
        result.pages = 0;
        result.error = file.errorString().toStdString();
    }
    return result;
}

OutputResult printSheets(QPrinter& printer, const SheetInput& input, const std::string& title, int first,
                         int last) {
    printer.setDocName(QString::fromStdString(title));
    printer.setFullPage(true);
    prepareA4(printer, input.choices.orientation);
    OutputResult result = drawOnDevice(printer, input, first, last);
    if (result.ok && printer.printerState() == QPrinter::Error) {
        result.ok = false;
        result.error = "the printer reported an error";
    }
    return result;
}

} // namespace tavora::printing::ui
