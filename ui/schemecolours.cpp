#include "ui/schemecolours.h"

#include <QGuiApplication>

#include <array>
#include <cmath>
#include <utility>

namespace wordlark {
namespace {

using PaletteEntry = std::pair<QPalette::ColorGroup, QPalette::ColorRole>;

// The desktop's system colours by index, in the roles that Qt itself fills from them on that desktop.
constexpr std::array<PaletteEntry, 31> kSystemColours = {{
    {QPalette::Active, QPalette::Midlight},          // 0 scroll bar
    {QPalette::Active, QPalette::Dark},              // 1 desktop
    {QPalette::Active, QPalette::Highlight},         // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active, QPalette::Window},            // 4 menu
    {QPalette::Active, QPalette::Base},              // 5 window
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::Text},              // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    {QPalette::Active, QPalette::Button},            // 10 active border
    {QPalette::Inactive, QPalette::Button},          // 11 inactive border
    {QPalette::Active, QPalette::Mid},               // 12 application workspace
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlighted text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow},            // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},          // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},       // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},       // 24 info background
    {QPalette::Active, QPalette::NoRole},            // 25 not defined
    {QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},         // 27 active caption gradient
    {QPalette::Inactive, QPalette::Highlight},       // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},         // 29 menu highlight
    {QPalette::Active, QPalette::Window},            // 30 menu bar
}};

double relativeLuminance(const QColor &colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
}

} // namespace

QColor screenColour(ColourValue value, const QPalette &palette)
{
    if (!isSystemColour(value))
        return QColor(redOf(value), greenOf(value), blueOf(value));
    const size_t index = size_t(systemColourIndex(value));
    if (index >= kSystemColours.size() || kSystemColours[index].second == QPalette::NoRole)
        return QColor(Qt::black);
    return palette.color(kSystemColours[index].first, kSystemColours[index].second);
}

ColourValue storedColour(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return colourValue(rgb.red(), rgb.green(), rgb.blue());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableTextColour(const QColor &background)
{
    return contrastRatio(Qt::black, background) >= contrastRatio(Qt::white, background) ? QColor(Qt::black)
                                                                                        : QColor(Qt::white);
}

ScreenScheme screenScheme(const SchemeColours &values, bool framedBoxes)
{
    const QPalette palette = QGuiApplication::palette();
    const auto colour = [&](ColourRole role) { return screenColour(colourOf(values, role), palette); };
    return ScreenScheme{{colour(ColourRole::Background), colour(ColourRole::Question),
                         colour(ColourRole::Answer), colour(ColourRole::RightAnswer),
                         colour(ColourRole::WrongAnswer), colour(ColourRole::RemainedText),
                         colour(ColourRole::MistakesText)},
                        colour(ColourRole::LettersFont),
                        colour(ColourRole::SimpleHanziFont),
                        colour(ColourRole::FullHanziFont),
                        framedBoxes};
}

} // namespace wordlark
