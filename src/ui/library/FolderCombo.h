#pragma once

#include <QComboBox>
#include <QIcon>
#include <string>

#include "core/text/Charset.h"

namespace mopira {

// The location combo: "すべての顔文字" first, then the folders one level in, each with a
// folder picture that opens while it is the chosen one. Items carry the folder's own bytes,
// so a name is never encoded back from what is shown.
class CFolderCombo : public QComboBox {
    Q_OBJECT

public:
    explicit CFolderCombo(QWidget* parent = nullptr);

    void SetImages(const QIcon& folder, const QIcon& openFolder, const QIcon& allFaces);
    // Empties the combo and puts "すべての顔文字" at index 0.
    void ResetItems();
    void InsertFolder(int index, const std::string& folder, Charset charset);
    void RemoveFolder(int index);
    // The folder bytes of the item; empty for index 0 and for no item.
    std::string FolderAt(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_folder;
    QIcon m_openFolder;
    QIcon m_allFaces;
};

}  // namespace mopira
