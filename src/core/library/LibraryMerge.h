#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/library/FaceEntry.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"

namespace mopira {

// Merging another machine's version of the library, which a sync tool left beside the file as
// a conflict copy, into what the file holds now: three-way, against the base, the content
// this machine last agreed on with the file.

struct FaceMove {
    std::string text;
    std::string fromFolder;  // as the base had it; empty when the copy's encoding lacks it
    std::string toFolder;
    bool operator==(const FaceMove&) const = default;
};

// What the copy did to the base, named by texts (an edited text is a removal and an add), so
// that it applies to whatever the file holds when it is saved.
struct LibraryChanges {
    Charset charset;                 // of every text and folder below: the copy's
    std::vector<FaceEntry> added;    // texts the base lacks, in the copy's order
    std::vector<FaceMove> moved;     // texts whose folder the copy changed
    std::vector<FaceEntry> removed;  // texts the copy lacks, with the folder the base had
};

// The changes from `base` to `copy`, in the copy's encoding; texts of the two are the same
// when they are the same characters. With no base (null) every record of the copy counts as
// added, so only the texts the library lacks are taken from it.
//
// The base must be a version both sides started from: a text this machine added after it
// would look removed by the other machine. A base text the copy's encoding cannot hold is left
// out, so nothing is removed for it.
LibraryChanges DiffLibraries(const CFaceLibrary* base, const CFaceLibrary& copy);

enum class MergeProblem {
    InvalidBytes,           // the text or folder holds bytes that are no character
    UnrepresentableText,    // the library's encoding lacks characters of the text
    UnrepresentableFolder,  // or of its folder
};

// A text of the changes the library cannot take, in the changes' encoding.
struct MergeRefusal {
    std::string text;
    std::string folder;
    MergeProblem problem = MergeProblem::InvalidBytes;
    std::u32string characters;  // those the library's encoding lacks
    bool operator==(const MergeRefusal&) const = default;
};

struct RecodedChanges {
    LibraryChanges changes;  // in the library's encoding
    // When any, the changes cannot apply as a whole, and nothing of them may.
    std::vector<MergeRefusal> refused;
};

// `changes` in the encoding of `library`, each text and folder written with the bytes the
// library has for the same characters, or converted when it has none (CP932 writes a
// character it repeats with its preferred code). A removal the library's encoding cannot
// hold is dropped, as the library cannot hold its record either; any other text or folder it
// cannot hold is refused. Moving from CP932 to UTF-8 fails only for bytes that are no
// character; from UTF-8 to CP932 the library becoming UTF-8 settles every refusal.
RecodedChanges RecodeChanges(const LibraryChanges& changes, const CFaceLibrary& library);

// What a merge did, for the user.
struct MergeSummary {
    std::size_t added = 0;  // texts the library did not hold, moved ones it had lost included
    std::size_t removed = 0;
    std::size_t moved = 0;
    std::vector<MergeRefusal> refused;  // nothing changed when any
};

}  // namespace mopira
