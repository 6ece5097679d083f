#include "ui/screenlook.h"

#include "ui/fonts.h"
#include "ui/schemecolours.h"

namespace wordlark {

ScreenLook::ScreenLook(QObject *parent)
    : QObject(parent)
{
    const ScreenScheme start = screenScheme(BuiltInColours, false);
    m_colours = start.colours;
    m_framedBoxes = start.framedBoxes;
    m_fields = {FieldFont{pixelFont(QStringLiteral("Times New Roman"), 24), start.lettersFont},
                FieldFont{pixelFont(QStringLiteral("SimSun"), 37), start.simpleHanziFont},
                FieldFont{pixelFont(QStringLiteral("SimSun"), 35), start.fullHanziFont}};
}

void ScreenLook::applyScheme(const ScreenScheme &scheme)
{
    m_colours = scheme.colours;
    m_framedBoxes = scheme.framedBoxes;
    m_fields[size_t(FieldKind::Letters)].colour = scheme.lettersFont;
    m_fields[size_t(FieldKind::Simplified)].colour = scheme.simpleHanziFont;
    m_fields[size_t(FieldKind::Full)].colour = scheme.fullHanziFont;
    Q_EMIT changed(Part::Colours);
}

void ScreenLook::setFieldFont(FieldKind kind, const QFont &font)
{
    m_fields[size_t(kind)].font = font;
    Q_EMIT changed(Part::Fonts);
}

} // namespace wordlark
