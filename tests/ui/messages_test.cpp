// File messages: the first line names the file, the reason is a second line, and the box
// is wide enough for its caption at any font.
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/Messages.h"

class MessagesTest : public QObject
{
    Q_OBJECT

  private slots:
    void fileMessageNamesTheFileAndGivesTheReason_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("host font") << 0;
        QTest::newRow("14 pt") << 14;
    }

    void fileMessageNamesTheFileAndGivesTheReason()
    {
        QFETCH(int, points);
        const QFont saved = QApplication::font();
        if (points > 0)
        {
            QFont font = saved;
            font.setPointSize(points);
            QApplication::setFont(font);
        }
        const QString caption = QStringLiteral("File Error");
        QString text, reason;
        int width = 0;
        Qt::TextFormat format = Qt::AutoText;
        QMessageBox::Icon icon = QMessageBox::Information;
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (box)
                {
                    text = box->text();
                    reason = box->informativeText();
                    width = box->width();
                    format = box->textFormat();
                    icon = box->icon();
                }
                modal->close();
            });
        // A name that looks like markup is shown as it is.
        FileMessage(nullptr, caption,
                    NamingFile(QStringLiteral("Invalid file size: "), QStringLiteral("/tmp/<b>a.kmd")),
                    QStringLiteral("The file is 68 bytes long."));
        // A short text under a long caption: the box widens for the caption.
        const QString longCaption = QStringLiteral("Kelmora: the snapshot ripper's findings");
        int shortTextWidth = 0;
        uitest::WhenModal(
            [&](QWidget* modal)
            {
                shortTextWidth = modal->width();
                modal->close();
            });
        ShowMessage(nullptr, longCaption, QStringLiteral("Done."));
        QApplication::setFont(saved);

        QCOMPARE(text, QStringLiteral("Invalid file size: /tmp/<b>a.kmd"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(reason, QStringLiteral("The file is 68 bytes long."));
        QCOMPARE(icon, QMessageBox::NoIcon);
        // The title bar holds the caption (in bold, as many window managers draw it)
        // beside its buttons.
        QFont title = QApplication::font();
        if (points > 0) title.setPointSize(points);
        title.setBold(true);
        QVERIFY2(width >= QFontMetrics(title).horizontalAdvance(caption) + 100,
                 qPrintable(QString::number(width)));
        QVERIFY2(shortTextWidth >= QFontMetrics(title).horizontalAdvance(longCaption) + 100,
                 qPrintable(QString::number(shortTextWidth)));
    }
};

QTEST_MAIN(MessagesTest)
#include "messages_test.moc"
