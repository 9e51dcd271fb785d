#pragma once

class QWidget;

namespace mopira {

class CLibraryDocument;

// Asks the owner of a CP932 library whether it may become UTF-8, which any character fits
// in, and converts it on Yes. A library with records in the way says which and stays as it
// is. True when the library is UTF-8 afterwards.
bool OfferUtf8(QWidget* parent, CLibraryDocument& document);

}  // namespace mopira
