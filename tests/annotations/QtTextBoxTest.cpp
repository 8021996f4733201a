// A text annotation's box through the Qt canvas: measured at its own line breaks only, so a
// long line stays one line and the box holds every line the text has.
#include "annotations/ElementGeometry.h"
#include "framework/ui/QtCanvas.h"
#include "support/QtApplicationEnvironment.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace tavora::annotations {
namespace {

QGuiApplication& app() {
    return tavora::test::QtApplicationEnvironment::app();
}

TEST(QtTextBox, MeasuredAtItsOwnLineBreaksOnly) {
    app();
    QImage image(400, 200, QImage::Format_RGB32);
    framework::ui::QtCanvas canvas(image);
    canvas.setFont({"メイリオ", 9, 400});
    const framework::Size one = canvas.measureText("押し目買い");
    const std::string longLine(300, 'x');
    const framework::Size wide = canvas.measureTextLines(longLine);
    EXPECT_EQ(wide.width, canvas.measureText(longLine).width); // no wrapping of its own
    EXPECT_EQ(wide.height, one.height);

    const framework::Size two = canvas.measureTextLines("押し目買い\r\n" + longLine);
    EXPECT_EQ(two.width, wide.width);
    EXPECT_GE(two.height, 2 * one.height);
    EXPECT_LT(two.height, 3 * one.height);
    // A closing line break (as a memo's text has) is an empty last line.
    EXPECT_GT(canvas.measureTextLines("押し目買い\r\n").height, one.height);
    EXPECT_EQ(canvas.measureTextLines("").height, one.height);
}

TEST(ZoomFactor, TickSizeOverTheTickAtCreationWithBadValuesReadAsOne) {
    EXPECT_FLOAT_EQ(zoomFactor(10, 5), 2.0f);
    EXPECT_FLOAT_EQ(zoomFactor(4, 5), 0.8f);
    EXPECT_FLOAT_EQ(zoomFactor(10, 0), 10.0f);
    EXPECT_FLOAT_EQ(zoomFactor(10, -3), 10.0f);
}

} // namespace
} // namespace tavora::annotations
