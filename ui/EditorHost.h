// What a tool window may ask of the editor's main window: the document it works on,
// the colours the views draw with, and a few requests. The main window implements it;
// a tool window never reaches into the main window otherwise.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

#include "core/Document.h"
#include "core/Palette.h"

class TEditorHost : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;

    // The painting tools of the main window's tool bar.
    enum class Tool
    {
        Brush1,
        Brush2,
        FloodFill,
    };

    virtual kelmora::Document& document() = 0;
    // The colours the views draw sprite pixels with, by C64 colour number: opaque 0xFFRRGGBB.
    virtual const std::uint32_t* viewColours() const = 0;
    // The sprites, the colours or the selection changed: every view is redrawn. With
    // undoStep the sprites are first recorded as one step of the undo history.
    virtual void documentChanged(bool undoStep) = 0;
    // A file's sprites replaced the document's: sprite 0 becomes current and selected, the
    // sprite-colour pen is chosen and the undo history starts again.
    virtual void documentReplaced() = 0;
    // Makes index (kept inside the sprites in use) the current sprite and one-sprite
    // selection and shows it in the preview, editor and browser, without running any of
    // the main window's handlers: the animator's frames.
    virtual void showSprite(int index) = 0;
    // The main window's tool bar look, which tool bars of other windows share.
    virtual bool toolBarFlat() const = 0;
    // Shows a hint in the main window's status bar until something else is shown there.
    virtual void showHint(const QString& text) = 0;
    // Every palette the editor knows, as its Colour Palette menu lists them: the built-in
    // one first, then those read from palettes.pal.
    virtual std::vector<kelmora::NamedPalette> knownPalettes() const = 0;
    // The tool chosen on the main window's tool bar (its pen is the bank's currentPen).
    virtual Tool currentTool() const = 0;

  signals:
    // Sent after every full redraw of the main window's views, whatever changed; windows
    // that stay open beside the main window follow the document with it.
    void viewsRefreshed();
};
