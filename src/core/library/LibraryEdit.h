#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/library/FaceEntry.h"
#include "core/library/FaceLibrary.h"
#include "core/library/LibraryMerge.h"
#include "core/library/TextExchange.h"

namespace mopira {

// The user's changes to the library, named by the texts they act on rather than by record
// ids, so that a change made against one copy of the file can be applied again to what the
// file holds now when another program has rewritten it in the meantime.
struct AddFaces {
    std::vector<FaceEntry> faces;
};
struct ReplaceFace {
    std::string oldText;
    FaceEntry face;
};
struct MoveFaces {
    std::vector<std::string> texts;
    std::string folder;
};
struct RemoveFaces {
    std::vector<std::string> texts;
};

// Makes a CP932 library UTF-8, as its owner agreed; the changes after it name UTF-8 texts.
struct ConvertLibraryToUtf8 {};
// The lines of an import file. They stay UTF-8 and are encoded when applied, so they apply
// alike to a library that became UTF-8 in the meantime. Shared: every save until one
// succeeds carries the change, and a file may hold a million lines.
struct ImportFaces {
    std::shared_ptr<const ImportFile> file;
    std::string reservedFolder;  // UTF-8
};

// Another machine's changes, taken from a conflict copy (DiffLibraries). Shared, like an
// import: a copy may hold a million records.
struct MergeChanges {
    std::shared_ptr<const LibraryChanges> changes;
};

using LibraryEdit = std::variant<AddFaces, ReplaceFace, MoveFaces, RemoveFaces,
                                 ConvertLibraryToUtf8, ImportFaces, MergeChanges>;

struct EditOutcome {
    // Whether any record changed.
    bool changed = false;
    // Folders that had records before and have none now, in the order they emptied.
    std::vector<std::string> emptied;
    // Texts the change names that the library no longer holds (moved or edited emoticons
    // that are gone). An edited emoticon that is gone is added with its new text and folder,
    // so the user's work is kept; it is listed here all the same.
    std::vector<std::string> missing;
    // A conversion to UTF-8 that could not be made: the records in the way (nothing changed).
    std::vector<ConversionRefusal> refused;
    // What an import added, found there already, and refused.
    ImportSummary imported;
    // The change was made in another encoding than the library's and this text of it (in the
    // change's encoding) cannot be written in the library's: nothing changed, the change waits.
    std::optional<std::string> waiting;
    // What a merge added, removed and moved, or the texts that kept it from applying.
    MergeSummary merged;
};

// Applies `edit` to `library`. Each part of the change applies to what the library holds
// now: adding a text that is there already files it in the given folder; replacing a text
// with one another record already has merges the two into that record; moving or removing
// a text that is gone does nothing for it. Nothing is ever lost: no record is dropped except
// by a removal. An import adds only the texts the library lacks and never refiles one.
//
// A merge applies whole or not at all: when the library's encoding cannot take a text of it,
// nothing changes and the texts are listed. Otherwise it adds the texts the library lacks and
// refiles none of those it has; it removes a text only where the library still has it in the
// folder the base had, and moves one only from that folder, so a record changed on this side
// keeps this side's change. A text moved there and removed here comes back in its new folder.
// Applying the same merge again changes nothing.
EditOutcome ApplyEdit(CFaceLibrary& library, const LibraryEdit& edit);
// The same for a change whose texts are bytes in `madeIn`: the library may have changed its
// encoding since (another program made the file UTF-8, or took it back to CP932). Its texts
// are converted first; when one cannot be (the library's encoding lacks a character, or a new
// text holds bytes that are no character), nothing changes and `waiting` names it.
EditOutcome ApplyEdit(CFaceLibrary& library, const LibraryEdit& edit, Charset madeIn);

}  // namespace mopira
