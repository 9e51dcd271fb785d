#pragma once

#include <functional>

class QDialog;

namespace mopira {

// Runs a dialog modally and returns its result (QDialog::Accepted or Rejected). The program
// runs every modal dialog through here, so tests can drive one through its widgets instead
// of a nested event loop.
int RunModal(QDialog& dialog);

// While installed, RunModal shows the dialog, hands it to the handler, and returns the result
// the handler left (a dialog still open afterwards counts as cancelled).
class CModalSeam {
public:
    using Handler = std::function<void(QDialog&)>;

    explicit CModalSeam(Handler handler);
    ~CModalSeam();
    CModalSeam(const CModalSeam&) = delete;
    CModalSeam& operator=(const CModalSeam&) = delete;

    void SetHandler(Handler handler) { m_handler = std::move(handler); }
    int Runs() const { return m_runs; }

private:
    friend int RunModal(QDialog&);

    Handler m_handler;
    int m_runs = 0;
};

}  // namespace mopira
