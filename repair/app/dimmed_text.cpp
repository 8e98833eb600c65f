#include "dimmed_text.h"

#include <QColor>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr double readable = 4.5;

double relativeLuminance(const QColor &color)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

// From one colour to the other by share (0 to 1); a translucent colour
// mixed with its background by its alpha is what the eye sees.
QColor mixed(const QColor &from, const QColor &to, double share)
{
    const auto channel = [share](double a, double b) { return static_cast<float>(a + (b - a) * share); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()));
}

QColor readablePlaceholder(const QPalette &palette, QPalette::ColorGroup group, QPalette::ColorRole normalText,
                           std::initializer_list<QPalette::ColorRole> backgrounds)
{
    const QColor normal = palette.color(group, normalText);
    const QColor placeholder = palette.color(group, QPalette::PlaceholderText);
    const QColor shown = mixed(palette.color(group, *backgrounds.begin()), placeholder, placeholder.alphaF());
    const auto reads = [&](const QColor &color) {
        return std::all_of(backgrounds.begin(), backgrounds.end(), [&](QPalette::ColorRole background) {
            return contrastRatio(color, palette.color(group, background)) >= readable;
        });
    };
    // Steps of a twentieth are finer than the eye tells apart.
    for (int step = 0; step < 20; ++step) {
        const QColor color = mixed(shown, normal, step / 20.0);
        if (reads(color))
            return color;
    }
    return normal;
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double first = relativeLuminance(a), second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

void makePlaceholderTextReadable(QWidget *widget, const QPalette &inherited, QPalette::ColorRole normalText,
                                 std::initializer_list<QPalette::ColorRole> backgrounds)
{
    // That one colour alone, so that the widget goes on inheriting every other.
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::PlaceholderText,
                         readablePlaceholder(inherited, group, normalText, backgrounds));
    widget->setPalette(palette);
}
