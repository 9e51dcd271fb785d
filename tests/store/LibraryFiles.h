#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/text/Cp932.h"

// Reading and writing test files byte for byte, around the code under test.
namespace mopira::test {

// CP932 bytes of UTF-8 source text.
inline std::string Sjis(std::string_view utf8) {
    return Cp932::FromUtf8Literal(utf8);
}

// FaceList.dat bytes of (text, folder) pairs given in UTF-8.
inline std::string FaceList(std::initializer_list<std::pair<const char*, const char*>> records) {
    std::string bytes;
    for (const auto& [text, folder] : records) {
        bytes += Sjis(text) + "\r\n" + Sjis(folder) + "\r\n\r\n";
    }
    return bytes;
}

inline std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

inline bool WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

// A library of `count` records, large enough to need several writes.
inline std::string ManyRecords(int count, const std::string& prefix = "face") {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += prefix + std::to_string(i) + "\r\nF" + std::to_string(i % 7) + "\r\n\r\n";
    }
    return bytes;
}

inline QStringList FilesIn(const QString& directory) {
    return QDir(directory).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace mopira::test
