// Colours come from the theme: in a dark palette every caption can be read (the rotator's
// warning too), and the tool bar icons read on light and dark tool bars, their disabled
// look weaker than the enabled one on both, at 1x, 2x and 3x.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

#include <cmath>
#include <memory>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormRotate.h"

namespace
{

const QColor kLightBar(239, 239, 239);
const QColor kDarkBar(53, 53, 53);

// A dark theme as desktop themes set it.
QPalette DarkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, kDarkBar);
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::AlternateBase, kDarkBar);
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::Button, kDarkBar);
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::ToolTipBase, QColor(25, 25, 25));
    p.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    return p;
}

double Luminance(const QColor& c)
{
    auto channel = [](double v)
    {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// The contrast ratio of two colours (1 to 21).
double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Captions whose text colour does not stand out from their background.
QStringList Unreadable(const QWidget& window)
{
    QStringList faults;
    for (QWidget* w : window.findChildren<QWidget*>())
    {
        if (!w->isVisibleTo(&window)) continue;
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QCheckBox*>(w) && !qobject_cast<QRadioButton*>(w) &&
            !qobject_cast<QGroupBox*>(w))
            continue;
        const QPalette::ColorGroup group = w->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QColor text = w->palette().color(group, w->foregroundRole());
        const QColor background = w->palette().color(group, w->backgroundRole());
        QList<QColor> colours{text};
        // Words a rich-text caption colours itself (a warning in red).
        static const QRegularExpression kSetColour(QStringLiteral("color\\s*[:=]\\s*\"?(#[0-9A-Fa-f]{6})"));
        if (auto* label = qobject_cast<QLabel*>(w); label && label->textFormat() != Qt::PlainText)
            for (const QRegularExpressionMatch& m : kSetColour.globalMatch(label->text()))
                colours << QColor(m.captured(1));
        for (const QColor& colour : colours)
        {
            const double ratio = Contrast(colour, background);
            if (ratio < 3.0)
                faults << QStringLiteral("%1: %2 on %3 (contrast %4)")
                              .arg(w->objectName(), colour.name(), background.name())
                              .arg(ratio, 0, 'f', 2);
        }
    }
    return faults;
}

QStringList ShownUnreadable(QDialog& tool)
{
    tool.show();
    QCoreApplication::processEvents();
    QStringList faults = Unreadable(tool);
    tool.hide();
    return faults;
}

// How far an image drawn over background stands out from it: the mean difference of
// luminance (0 to 255) over the pixels the image covers.
double StandsOut(const QPixmap& pixmap, const QColor& background)
{
    QImage over(pixmap.size(), QImage::Format_RGB32);
    over.fill(background);
    {
        QPainter painter(&over);
        painter.drawPixmap(0, 0, pixmap);
    }
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            if (qAlpha(image.pixel(x, y)) == 0) continue;
            sum += std::abs(qGray(over.pixel(x, y)) - qGray(background.rgb()));
            ++covered;
        }
    return covered ? sum / covered : 0;
}

} // namespace

class ThemeTest : public QObject
{
    Q_OBJECT

  private slots:
    void everyCaptionReadsInADarkTheme()
    {
        const QPalette saved = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        QStringList faults;
        {
            auto window = uitest::NewWindow();
            faults += Unreadable(*window);
            uitest::ForEachToolWindow(*window, [&faults](QDialog& tool) { faults += ShownUnreadable(tool); });
            // Too many frames for the bank: the rotator's count turns red, and stays readable.
            TFormRotate rotator(window->host(), window.get());
            window->document().bank.currentSprite = 250;
            rotator.Radio_SeqToCurrent->setChecked(true);
            rotator.ScrollBar1->setValue(10);
            QVERIFY(!rotator.Btn_Ok->isEnabled());
            faults += ShownUnreadable(rotator);
            const QColor warning = rotator.Label2->palette().color(QPalette::WindowText);
            QVERIFY2(warning.red() > warning.green() + 100 && warning.red() > warning.blue() + 100,
                     qPrintable(warning.name()));
        }
        QApplication::setPalette(saved);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void iconsReadOnLightAndDarkBarsAndDisabledLooksWeaker()
    {
        auto window = uitest::NewWindow();
        TFormAnim animator(window->host(), window.get());
        QList<QAction*> actions = uitest::Child<QToolBar>(*window, "ToolBar1")->actions();
        actions += animator.ToolBar1->actions();
        QStringList faults;
        for (QAction* action : actions)
        {
            if (action->isSeparator()) continue;
            const QIcon icon = action->icon();
            QVERIFY2(icon.availableSizes().contains(QSize(48, 48)), qPrintable(action->objectName()));
            for (const int size : {16, 32, 48})
            {
                for (const QColor& bar : {kLightBar, kDarkBar})
                {
                    const double enabled = StandsOut(icon.pixmap(QSize(size, size), QIcon::Normal), bar);
                    const double disabled = StandsOut(icon.pixmap(QSize(size, size), QIcon::Disabled), bar);
                    const QString where = QStringLiteral("%1 at %2 on %3: ")
                                              .arg(action->objectName())
                                              .arg(size)
                                              .arg(bar.name());
                    if (enabled < 40) faults << where + QStringLiteral("stands out by %1 only").arg(enabled);
                    if (disabled > 0.6 * enabled)
                        faults << where + QStringLiteral("disabled %1 against enabled %2")
                                              .arg(disabled)
                                              .arg(enabled);
                }
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(ThemeTest)
#include "theme_test.moc"
