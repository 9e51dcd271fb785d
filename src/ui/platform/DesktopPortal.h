#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

namespace mopira {

// The desktop portal (xdg-desktop-portal) on the session bus, through which a desktop lends
// programs what it keeps to itself: shortcuts for the whole desktop, typing into other
// programs. Its calls that need the user's consent answer later, through a request object.
// Every call is asynchronous: the window never waits for the desktop.
class CDesktopPortal : public QObject {
    Q_OBJECT

public:
    static const QString kService;
    static const QString kPath;

    // The answer to a request: 0 granted, 1 cancelled by the user, 2 refused otherwise; and
    // kNoAnswer when no portal took the call (none on the bus, or one without the interface).
    static constexpr uint kNoAnswer = 1000;
    using Reply = std::function<void(uint response, const QVariantMap& results)>;

    explicit CDesktopPortal(QObject* parent = nullptr);

    static QDBusConnection Bus();

    // Calls `method` of `interface` with `arguments`, whose last is the options (a handle token
    // is put into them), and hands the request's answer to `reply`, once.
    void Request(const QString& interface, const QString& method, QVariantList arguments,
                 Reply reply);
    // A call whose answer is no request; `failed` hears of an error.
    void Call(const QString& interface, const QString& method, const QVariantList& arguments,
              std::function<void()> failed = {});
    // Reads the property `name` of `interface`; `reply` gets an invalid value when there is none.
    void ReadProperty(const QString& interface, const QString& name,
                      std::function<void(const QVariant&)> reply);
    // A token for a request or a session, new in this process.
    static QString NewToken();

private:
    // Names the program to a desktop that asks programs outside a sandbox who they are
    // (GNOME's portal takes the id of the desktop entry so); once per connection, first.
    static void RegisterApplication(const QDBusConnection& bus);
};

}  // namespace mopira
