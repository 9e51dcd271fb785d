#pragma once

#include <QValidator>

namespace mopira {

// Keeps a field to one line, as single-line fields have always done: of text that arrives
// with line breaks (pasted, dropped or set), only its first line is taken.
class CSingleLineValidator : public QValidator {
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;
};

}  // namespace mopira
