#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QWidget>
#include <vector>

class QToolButton;

namespace mopira {

// A row of flat image buttons built from a toolbar resource, each with a tooltip from the
// string table. The owning window places it at an exact pixel rectangle, so the buttons sit
// left to right from the top-left corner with no margins: (image + 7) pixels per button and
// 8 pixels per separator. A click reports the button's command id.
class CTipToolBar : public QWidget {
    Q_OBJECT

public:
    explicit CTipToolBar(QWidget* parent = nullptr);
    ~CTipToolBar() override;

    // Builds the buttons and their images from the toolbar resource and image strip of this
    // id. On failure the toolbar is left empty.
    bool LoadToolBar(int resourceId);
    // Replaces all buttons by one button per id, 0 giving a separator. Images are numbered
    // over the buttons only, so a separator takes no image.
    bool SetButtons(const std::vector<int>& ids);
    // Removes the entry at `index`; the other buttons keep their images.
    void DeleteButton(int index);
    void SetButtonImage(int commandId, int image);

    void CheckButton(int commandId, bool check);
    bool IsButtonChecked(int commandId) const;
    void EnableButton(int commandId, bool enable);
    bool IsButtonEnabled(int commandId) const;
    // A hidden button takes no room: the buttons behind it close up.
    void HideButton(int commandId, bool hide);
    bool IsButtonHidden(int commandId) const;

    int ButtonCount() const { return static_cast<int>(m_entries.size()); }
    // The command id of the entry at `index`; 0 for a separator or an index out of range.
    int CommandAt(int index) const;
    QToolButton* ButtonFor(int commandId) const;

    // The tooltip of a command: its string's text after the first "\n" up to the next one.
    static QString TipText(int commandId);

    QSize sizeHint() const override;

signals:
    void commandTriggered(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Entry {
        int command = 0;
        int image = 0;
        bool hidden = false;
        int x = 0;                      // left edge after the last layout
        QToolButton* button = nullptr;  // null for a separator
    };

    static constexpr int kSeparatorWidth = 8;
    static constexpr int kButtonPadding = 7;

    void Clear();
    static void Discard(QToolButton* button);
    Entry* FindEntry(int commandId);
    const Entry* FindEntry(int commandId) const;
    QToolButton* CreateButton(int commandId, int image);
    QSize ButtonSize() const;
    void ApplyImage(const Entry& entry) const;
    void Relayout();

    std::vector<Entry> m_entries;
    QPixmap m_pixStrip;
    QSize m_sizeImage{16, 15};
};

}  // namespace mopira
