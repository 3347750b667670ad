#include "graphics/image_view.h"

#include <gtest/gtest.h>

#include "graphics/bitmap.h"
#include "graphics/unsupported_formats.h"

namespace pogoda {
namespace {

TEST(DestinationRect, PlacesThePicture) {
    struct Case {
        int w, h, cw, ch;
        bool stretch, proportional, center;
        TRect expected;
    };
    const Case cases[] = {
        // Proportional shrinks a larger picture, never enlarges a smaller one.
        {300, 100, 150, 150, false, true, true, Rect(0, 50, 150, 100)},
        {100, 40, 150, 150, false, true, true, Rect(25, 55, 125, 95)},
        {100, 40, 150, 150, false, true, false, Rect(0, 0, 100, 40)},
        {319, 163, 322, 165, false, true, true, Rect(1, 1, 320, 164)},
        // Taller than wide; and the second fit when the first overflows.
        {100, 300, 150, 150, false, true, false, Rect(0, 0, 50, 150)},
        {200, 100, 150, 50, false, true, false, Rect(0, 0, 100, 50)},
        {100, 200, 30, 150, false, true, false, Rect(0, 0, 30, 60)},
        // Stretch enlarges; with Proportional it keeps the aspect.
        {10, 20, 100, 100, true, false, false, Rect(0, 0, 100, 100)},
        {10, 20, 100, 100, true, true, true, Rect(25, 0, 75, 100)},
        {3, 0, 100, 100, true, true, false, Rect(0, 0, 100, 100)},
        // Truncation toward zero: 100 / (3/1) = 33.33 and a larger picture centres negatively.
        {3, 1, 100, 100, true, true, false, Rect(0, 0, 100, 33)},
        {201, 100, 100, 100, false, false, true, Rect(-50, 0, 151, 100)},
        {0, 0, 10, 10, false, false, true, Rect(5, 5, 5, 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DestinationRect(c.w, c.h, c.cw, c.ch, c.stretch, c.proportional, c.center), c.expected)
            << c.w << "x" << c.h << " in " << c.cw << "x" << c.ch;
    }
}

class FakeHost : public TImageView::IHost {
public:
    TRect BoundsRect() const override { return bounds; }
    void SetBounds(int left, int top, int width, int height) override {
        bounds = Bounds(left, top, width, height);
    }
    void Invalidate() override { ++invalidations; }
    void Repaint() override { ++repaints; }
    void SetOpaque(bool value) override { opaque = value; }

    TRect bounds = Bounds(4, 4, 150, 150);
    int invalidations = 0;
    int repaints = 0;
    bool opaque = false;
};

std::unique_ptr<TBitmap> Picture(int width, int height, TColor color) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width, height);
    bitmap->FillRect(Rect(0, 0, width, height), color);
    return bitmap;
}

TEST(ImageView, AutoSizeTakesThePictureSizeButNotAnEmptyOne) {
    FakeHost host;
    TImageView view(host);
    view.SetAutoSize(true);
    view.Picture().SetGraphic(nullptr);
    EXPECT_EQ(host.bounds, Bounds(4, 4, 150, 150));
    const auto big = Picture(500, 40, clWhite);
    view.Picture().SetGraphic(big.get());
    EXPECT_EQ(host.bounds, Bounds(4, 4, 500, 40));
    EXPECT_TRUE(host.opaque);
    EXPECT_GT(host.invalidations, 0);
}

TEST(ImageView, ControlTransparencyOverridesTheGraphicsExceptMetafilesAndIcons) {
    FakeHost host;
    TImageView view(host);
    const auto keyed = Picture(10, 10, clWhite);
    keyed->SetTransparent(true);
    view.Picture().SetGraphic(keyed.get());
    EXPECT_FALSE(view.Picture().Graphic()->Transparent());
    EXPECT_FALSE(host.opaque);  // 10 x 10 does not cover 150 x 150
    view.SetTransparent(true);
    EXPECT_TRUE(view.Picture().Graphic()->Transparent());

    view.SetTransparent(false);
    view.Picture().Graphic()->SetTransparent(true);  // the change comes back to the control
    EXPECT_FALSE(view.Picture().Graphic()->Transparent());

    const TIconGraphic icon;
    view.Picture().SetGraphic(&icon);
    view.Picture().Graphic()->SetTransparent(true);
    EXPECT_TRUE(view.Picture().Graphic()->Transparent());
}

TEST(ImageView, PaintsAtTheDestinationRect) {
    FakeHost host;
    host.bounds = Bounds(0, 0, 6, 6);
    TImageView view(host);
    view.SetCenter(true);
    const auto red = Picture(2, 2, RGBColor(255, 0, 0));
    view.Picture().SetGraphic(red.get());
    TBitmap surface;
    surface.SetPixelFormat(pf32bit);
    surface.SetSize(6, 6);
    view.Paint(surface.Canvas());
    EXPECT_FALSE(view.Drawing());
    EXPECT_EQ(surface.PixelColor(1, 1), clBlack);
    EXPECT_EQ(surface.PixelColor(2, 2), RGBColor(255, 0, 0));
    EXPECT_EQ(surface.PixelColor(3, 3), RGBColor(255, 0, 0));
    EXPECT_EQ(surface.PixelColor(4, 4), clBlack);
}

}  // namespace
}  // namespace pogoda
