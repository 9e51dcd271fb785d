#pragma once

#include <QString>

#include "core/library/TextExchange.h"
#include "store/ExchangeFile.h"

class QWidget;

// What the user is told about importing and exporting emoticon lists; the files themselves
// are the store's (ExchangeFile).
namespace mopira {

// Tells why an import file could not be read; false then.
bool TellImportRead(QWidget* parent, const QString& path, const ImportRead& read);
// How many were added, there already, and refused, with the first refused lines and why.
QString DescribeImport(const ImportSummary& summary);
// Tells how an export to `path` went, and which records had to be left out.
void TellExport(QWidget* parent, const QString& path, const CFaceLibrary& library,
                const ExportResult& result, const FileError& error);
// Says that an input method's dictionary holds no emoticon, and why; false when it holds one.
bool TellEmptyDictionary(QWidget* parent, const DictionaryMade& made, Charset charset);
// Tells how writing the dictionary to `path` went: how many emoticons under how many
// readings, and what was left out and why, the first few named.
void TellDictionaryExport(QWidget* parent, const QString& path, const DictionaryMade& made,
                          Charset charset, const FileError& error);

}  // namespace mopira
