#pragma once

#include <QWidget>
#include <string>

#include "core/app/Settings.h"
#include "core/text/Charset.h"

namespace mopira {

// A page of the main window. It owns its controls, its state and its handlers; the window's
// frame shows it, lays it out, keeps its settings and asks it for the emoticon the copy
// command copies. A page covers the whole of the window's client area and paints nothing of
// its own, so its controls stand at the window's own coordinates.
class CPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Takes the page's own values of the settings read at start, and writes them back at
    // close; the other values are the frame's or the other page's.
    virtual void ReadSettings(const Settings& settings) = 0;
    virtual void WriteSettings(Settings& settings) const = 0;

    // Shows the page's controls as they are to be seen now.
    virtual void ShowPage() = 0;
    // Sizes and places the page's controls for a window of this outer size.
    virtual void LayoutPage(int width, int height) = 0;
    // The outer window size at which the page shows enough to be used; a first start, with
    // no size saved, opens at least this large.
    virtual QSize UsefulSize() const = 0;

    // The emoticon the commands act on, in the page's encoding; refreshes the command states.
    virtual std::string CurrentFace() = 0;
    // What CurrentFace does to the controls, without building the text.
    virtual void UpdateCurrentFace() = 0;
    virtual Charset FaceCharset() const = 0;

signals:
    // Whether the page has an emoticon to copy, after every change of it.
    void currentFaceChanged(bool hasFace);
    // The page's own way of asking for the copy command (a double-click, its menu).
    void copyRequested();
};

}  // namespace mopira
