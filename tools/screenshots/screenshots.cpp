// Pictures of the main window and every tool window, as README and docs/ show them.
//   kelmora_screenshots OUTDIR [--points N] [--dark]
// The scale factor comes from QT_SCALE_FACTOR; run it offscreen (QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPalette>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleFactory>

#include <cstdio>
#include <memory>

#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/tools/FormAbout.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormExportImage.h"
#include "ui/tools/FormExportListing.h"
#include "ui/tools/FormExportSprites.h"
#include "ui/tools/FormImportImage.h"
#include "ui/tools/FormImportSprites.h"
#include "ui/tools/FormObject.h"
#include "ui/tools/FormOnionSkin.h"
#include "ui/tools/FormRipper.h"
#include "ui/tools/FormRotate.h"
#include "ui/tools/FormSequences.h"
#include "ui/tools/FormTextData.h"

namespace
{

QPalette DarkPalette()
{
    QPalette p;
    const QColor window(53, 53, 53), text(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::ToolTipBase, QColor(25, 25, 25));
    p.setColor(QPalette::ToolTipText, text);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    return p;
}

bool Save(QWidget& window, const QString& path)
{
    window.show();
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    window.hide();
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty())
    {
        std::fputs("usage: kelmora_screenshots OUTDIR [--points N] [--dark]\n", stderr);
        return 2;
    }
    const QString out = arguments.takeFirst();
    QDir().mkpath(out);
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    for (int i = 0; i < arguments.size(); ++i)
    {
        if (arguments[i] == QLatin1String("--points") && i + 1 < arguments.size())
        {
            QFont font = QApplication::font();
            font.setPointSize(arguments[++i].toInt());
            QApplication::setFont(font);
        }
        else if (arguments[i] == QLatin1String("--dark"))
        {
            QApplication::setPalette(DarkPalette());
        }
    }

    // A project from the examples, a range selected, and the palettes beside the sources.
    TForm1 window(QStringList{});
    window.LoadPaletteFile(QStringLiteral(KELMORA_SOURCE_DIR "/resources/palettes.pal"));
    window.DropFile(QStringLiteral(KELMORA_SOURCE_DIR "/examples/walker.kmd"));
    window.document().bank.rangeEnd = 3;
    window.RefreshAll();
    bool ok = Save(window, out + QStringLiteral("/mainwindow.png"));

    TEditorHost& host = window.host();
    {
        TFormRotate rotator(host, &window);
        rotator.ScrollBar1->setValue(5);
        ok &= Save(rotator, out + QStringLiteral("/rotator.png"));
    }
    {
        TFormAnim animator(host, &window);
        ok &= Save(animator, out + QStringLiteral("/animator.png"));
    }
    {
        TFormRipper ripper(host, &window);
        ok &= Save(ripper, out + QStringLiteral("/ripper.png"));
    }
    {
        TFormImport import(host, &window);
        ok &= Save(import, out + QStringLiteral("/import.png"));
    }
    {
        TFormExport exporter(host, &window);
        ok &= Save(exporter, out + QStringLiteral("/export.png"));
    }
    {
        // The walk sequence of the example's side file, its third frame chosen.
        TFormSequences sequences(host, &window);
        if (sequences.List_Frames->count() > 2) sequences.List_Frames->item(2)->setSelected(true);
        ok &= Save(sequences, out + QStringLiteral("/sequences.png"));
    }
    {
        // The walk cycle as a sprite sheet in the view's palette, to go after its sixteen
        // sprites. Each body is drawn with its outline on top, which one sprite cannot
        // show: those pixels are outlined in red.
        kelmora::SpriteBank& bank = window.document().bank;
        const kelmora::RgbaImage sheet =
            kelmora::RenderSheet(bank, 0, bank.spriteCount - 1, 4, 2, host.viewColours());
        const int current = bank.currentSprite;
        bank.currentSprite = bank.spriteCount;
        TFormImportImage import(host, &window);
        import.SetPicture({sheet}, QStringLiteral("walker.png"));
        ok &= Save(import, out + QStringLiteral("/importimage.png"));
        bank.currentSprite = current;
    }
    {
        TFormExportImage exporter(host, &window);
        ok &= Save(exporter, out + QStringLiteral("/exportimage.png"));
    }
    {
        kelmora::OnionSkinOptions options;
        options.frames = 2;
        options.ahead = true;
        TFormOnionSkin onion(options, &window);
        ok &= Save(onion, out + QStringLiteral("/onionskin.png"));
    }
    {
        // The listing of the selected sprites in hex, as View Text Data shows it where the
        // desktop has no viewer for text.
        const kelmora::SpriteBank& bank = window.document().bank;
        std::string text;
        kelmora::EncodeTextListing(bank.sprites, bank.rangeStart, bank.rangeEnd, 1, text);
        TFormTextData viewer(QStringLiteral("spritedata.txt"), QByteArray::fromStdString(text), &window);
        ok &= Save(viewer, out + QStringLiteral("/textdata.png"));
    }
    {
        TFormAbout about(&window);
        ok &= Save(about, out + QStringLiteral("/about.png"));
    }
    {
        // Binary rows with the sprites' names as labels.
        window.document().extras.names = {{0, "walk_0"}, {1, "walk_0_layer"}};
        TFormExportListing listing(host, &window);
        listing.ComboDialect->setCurrentIndex(listing.ComboDialect->findText(QStringLiteral("64tass")));
        listing.ComboNumbers->setCurrentIndex(
            listing.ComboNumbers->findText(QStringLiteral("Binary (%00001010)")));
        listing.ChkRows->setChecked(true);
        listing.ComboLabels->setCurrentIndex(
            listing.ComboLabels->findText(QStringLiteral("The sprite's name")));
        ok &= Save(listing, out + QStringLiteral("/exportlisting.png"));
        // The robot example: its objects from the side file, the first one at 8x. The
        // names given above are only for the picture: nothing asks to save them.
        kelmora::MarkSaved(window.document());
        window.DropFile(QStringLiteral(KELMORA_SOURCE_DIR "/examples/robot.kmd"));
        std::string message;
        kelmora::ReadProjectExtras(KELMORA_SOURCE_DIR "/examples/robot.kmd", window.document().extras,
                                   message);
        window.RefreshAll();
        TFormObject editor(host, &window);
        editor.SelectObject(0);
        editor.SetZoom(8, QPoint());
        ok &= Save(editor, out + QStringLiteral("/objecteditor.png"));
    }
    return ok ? 0 : 1;
}
