// Every window at small, middle and large fonts: no caption is cut, none runs into the
// control beside it and nothing leaves its window. CTest runs this program at the scale
// factors 1, 1.5 and 2 (QT_SCALE_FACTOR is read only at start-up).
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"
#include "ui/tools/FormImportImage.h"
#include "ui/tools/FormRotate.h"

namespace
{

// The application's font at another point size for as long as this lives.
class FontSize
{
  public:
    explicit FontSize(int points) : m_saved(QApplication::font())
    {
        if (points <= 0) return;
        QFont font = m_saved;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~FontSize() { QApplication::setFont(m_saved); }

  private:
    QFont m_saved;
};

bool HasCaption(const QWidget* w)
{
    auto* tool = qobject_cast<const QToolButton*>(w);
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QRadioButton*>(w) || qobject_cast<const QPushButton*>(w) ||
           (tool && tool->toolButtonStyle() != Qt::ToolButtonIconOnly);
}

QString Caption(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    return {};
}

QString Name(const QWidget* w)
{
    return QStringLiteral("%1 \"%2\"").arg(w->objectName(), Caption(w));
}

QString Text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Controls laid out side by side with the captioned ones: they must not overlap them.
bool Placed(const QWidget* w)
{
    return HasCaption(w) || qobject_cast<const QLineEdit*>(w) || qobject_cast<const TUpDown*>(w) ||
           qobject_cast<const QGroupBox*>(w) || qobject_cast<const TPaintBox*>(w) ||
           qobject_cast<const QScrollBar*>(w) || qobject_cast<const TColourPanel*>(w);
}

// What is wrong with the window's layout as shown, one line each.
QStringList Faults(const QWidget& window)
{
    QStringList faults;
    const QString where = window.objectName() + QStringLiteral(": ");
    const QList<QWidget*> all = window.findChildren<QWidget*>();
    for (QWidget* w : all)
    {
        if (!w->isVisibleTo(&window) || !HasCaption(w)) continue;
        // A caption that wraps needs the height its text takes at the width it was given.
        const QSize hint = w->hasHeightForWidth()
                               ? QSize(w->minimumSizeHint().width(), w->heightForWidth(w->width()))
                               : w->sizeHint();
        if (w->width() < hint.width() || w->height() < hint.height())
            faults << where + Name(w) +
                          QStringLiteral(" is %1x%2, needs %3x%4")
                              .arg(w->width())
                              .arg(w->height())
                              .arg(hint.width())
                              .arg(hint.height());
        for (const QWidget* c = w; c != &window && c->parentWidget(); c = c->parentWidget())
        {
            if (QRect(QPoint(), c->parentWidget()->size()).contains(c->geometry())) continue;
            faults << where + Name(w) + QStringLiteral(" leaves ") + c->parentWidget()->objectName();
            break;
        }
    }
    // Captioned controls never run into their neighbours.
    for (QWidget* w : all)
    {
        if (!w->isVisibleTo(&window) || !HasCaption(w)) continue;
        for (QObject* o : w->parentWidget()->children())
        {
            auto* other = qobject_cast<QWidget*>(o);
            if (!other || other == w || !other->isVisibleTo(&window) || !Placed(other)) continue;
            if (HasCaption(other) && other < w) continue; // each pair once
            if (w->geometry().intersects(other->geometry()))
                faults << where + Name(w) + QStringLiteral(" at ") + Text(w->geometry()) +
                              QStringLiteral(" overlaps ") + Name(other) + QStringLiteral(" at ") +
                              Text(other->geometry());
        }
    }
    return faults;
}

// Shows a tool window without running it modally, and returns what is wrong with it.
QStringList ToolFaults(QDialog& tool)
{
    tool.show();
    QCoreApplication::processEvents();
    QStringList faults = Faults(tool);
    tool.hide();
    return faults;
}

QStringList EveryWindowsFaults()
{
    auto window = uitest::NewWindow();
    QStringList faults = Faults(*window);
    uitest::ForEachToolWindow(*window,
                              [&faults](QDialog& tool)
                              {
                                  faults += ToolFaults(tool);
                                  // Made as small as it goes, its wrapped words still fit.
                                  if (qobject_cast<TFormImportImage*>(&tool))
                                  {
                                      tool.resize(1, 1);
                                      faults += ToolFaults(tool);
                                  }
                              });
    return faults;
}

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

  private slots:
    void captionsFitAtEveryFontSize_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("host font") << 0;
        QTest::newRow("8 pt") << 8;
        QTest::newRow("11 pt") << 11;
        QTest::newRow("14 pt") << 14;
    }

    void captionsFitAtEveryFontSize()
    {
        QFETCH(int, points);
        const FontSize font(points);
        const QStringList faults = EveryWindowsFaults();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void windowsGrowOnlyWhereTheirCaptionsNeedIt()
    {
        // At the host's font the designed frames stay; at 14 points the windows with
        // fixed places grow, and the main window's views keep their sizes.
        auto window = uitest::NewWindow();
        QCOMPARE(window->centralWidget()->size(), QSize(703, 433));
        QCOMPARE(uitest::Child<QWidget>(*window, "PaintBox_Browser")->geometry(), QRect(288, 44, 384, 294));
        const QSize rotatorAtHostFont = TFormRotate(window->host(), window.get()).size();
        QCOMPARE(rotatorAtHostFont, QSize(302, 422));
        window.reset();

        const FontSize font(14);
        window = uitest::NewWindow();
        QVERIFY(window->centralWidget()->height() > 433);
        QCOMPARE(uitest::Child<QWidget>(*window, "PaintBox_Editor")->size(), QSize(192, 168));
        QCOMPARE(uitest::Child<QWidget>(*window, "PaintBox_Browser")->size(), QSize(384, 294));
        TFormRotate rotator(window->host(), window.get());
        QVERIFY(rotator.width() > 302);
        // The slider still runs down the whole right edge.
        QCOMPARE(rotator.ScrollBar1->geometry(), QRect(rotator.width() - rotator.ScrollBar1->width(), 0,
                                                       rotator.ScrollBar1->width(), rotator.height()));
        QCOMPARE(rotator.minimumSize(), rotator.maximumSize());
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
