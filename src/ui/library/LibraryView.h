#pragma once

#include <QIcon>

#include "core/library/FaceLibrary.h"
#include "core/library/FolderList.h"

namespace mopira {

// The pictures of folders that the location combo and the folder trees share.
struct FolderImages {
    QIcon folder;
    QIcon openFolder;
    QIcon allFaces;  // "すべての顔文字"
};

// What the library's dialogs and folder trees read: the library, its folder list and the
// folder pictures, as the list page holds them. Nothing changes through it.
struct LibraryView {
    const CFaceLibrary& library;
    const CFolderList& folders;
    const FolderImages& images;
};

}  // namespace mopira
