#include "ui/HelpTopics.h"

#include <QMetaObject>
#include <QWidget>
#include <array>
#include <utility>

namespace quillon::ui {

namespace {

using Topic = std::pair<const char*, const char*>;

// Window and dialog titles, exactly as the windows show them.
constexpr std::array kTitleTopics = {
    Topic{"Configure Serial Comms", "serial-comms.html#dialog"},
    Topic{"Serial Port Configuration", "serial-comms.html#dialog"},
    Topic{"Modem Commands", "modem.html#commands"},
    Topic{"Dial", "modem.html#dial"},
    Topic{"Disconnecting", "modem.html#hangup"},
    Topic{"Password Entry", "password.html#entry"},
    Topic{"Change Password", "password.html#change"},
    Topic{"Radio Wide Settings", "radio-wide.html"},
    Topic{"Channel Table", "channel-table.html#dialog"},
    Topic{"Copy Channels", "channel-table.html#copy"},
    Topic{"Copy Channel", "channel-table.html#copy"},
    Topic{"Delete References", "channel-table.html#delete"},
    Topic{"Channel Settings", "channel-settings.html"},
    Topic{"Configure Scan Channel Reference", "channel-settings.html#scan"},
    Topic{"Active Squelch Groups", "squelch-groups.html#active"},
    Topic{"Squelch Group Properties", "squelch-groups.html#properties"},
    Topic{"Tone Remote Settings", "tone-remote.html#settings"},
    Topic{"Tone Remote Properties", "tone-remote.html#properties"},
    Topic{"Encryption Settings", "encryption.html#settings"},
    Topic{"Add Key", "encryption.html#add"},
    Topic{"Serial Debug", "troubleshooting.html#serial-debug"},
    Topic{"BCI_RX", "troubleshooting.html#serial-debug"},
    Topic{"BCI RX", "troubleshooting.html#serial-debug"},
    Topic{"BCI TX", "troubleshooting.html#serial-debug"},
    Topic{"About Quillon Radio Programmer", "menus.html#cmd-57664"},
    Topic{"Print", "printing.html"},
    Topic{"Print Preview", "printing.html#preview"},
    Topic{"Open", "main-window.html#open"},
    Topic{"Save As", "main-window.html#save"},
    Topic{"Import", "csv.html#import"},
    Topic{"Export", "csv.html#export"},
    // The progress window's titles name the procedure running.
    Topic{"Login", "get-send.html#login"},
    Topic{"Get", "get-send.html#get"},
    Topic{"Send", "get-send.html#send"},
    Topic{"Get Channel Data", "get-send.html#get"},
    Topic{"Send Channel Data", "get-send.html#send"},
    Topic{"Writing channel table", "get-send.html#send"},
    Topic{"Squelch Groups", "get-send.html#progress"},
    Topic{"Tone Remote List", "get-send.html#progress"},
    Topic{"General Parameters", "get-send.html#progress"},
    Topic{"Encryption keys", "get-send.html#send"},
    Topic{"Exit Binary Mode", "get-send.html#binary"},
    // Every message box carries the program's name as its caption.
    Topic{"Quillon Radio Programmer", "troubleshooting.html#messages"},
};

// Object or class names, for windows whose title varies.
constexpr std::array kNameTopics = {
    Topic{"CTmpFrame", "main-window.html"},
    Topic{"ProgressWindow", "main-window.html#progress"},
    Topic{"HelpViewer", "using-help.html"},
    Topic{"QPrintDialog", "printing.html"},
    Topic{"QPrintPreviewDialog", "printing.html#preview"},
};

constexpr std::array kCommandIds = {
    57600, 57601, 57603, 57604, 33001, 33002, 57607, 57609, 57616, 57665, 32777, 32789, 32784,
    32774, 32775, 32778, 32779, 32780, 32771, 32776, 32783, 32790, 32791, 32772, 32773, 57668,
    57664, 57669, 57670, 57635, 57680, 57643, 57644, 33003, 33004, 32792, 32793, 32794,
};

constexpr const char* kContents = "index.html";
constexpr const char* kMainWindow = "main-window.html";
// The main window's title: the document, then the program and version.
constexpr const char* kMainTitleMark = " - Quillon Radio Programmer - Version ";

template <typename Table>
QString FindTopic(const QString& key, const Table& table) {
    for (const Topic& t : table) {
        if (key == QLatin1String(t.first)) {
            return QString::fromLatin1(t.second);
        }
    }
    return {};
}

}  // namespace

QUrl ManualUrl(const QString& pageAndAnchor) {
    return QUrl(QStringLiteral("qrc:/manual/") + pageAndAnchor);
}

QString HelpTopicForTitle(const QString& title) {
    if (title.contains(QLatin1String(kMainTitleMark))) {
        return QString::fromLatin1(kMainWindow);
    }
    // "Delete references to channel 7" and the like.
    if (title.startsWith(QLatin1String("Delete references to channel"))) {
        return QStringLiteral("channel-table.html#delete");
    }
    return FindTopic(title, kTitleTopics);
}

QString HelpTopicFor(const QWidget* window) {
    if (window == nullptr) {
        return QString::fromLatin1(kContents);
    }
    QString topic = HelpTopicForTitle(window->windowTitle());
    if (topic.isEmpty()) {
        topic = FindTopic(window->objectName(), kNameTopics);
    }
    for (const QMetaObject* m = window->metaObject(); topic.isEmpty() && m != nullptr;
         m = m->superClass()) {
        // Class names carry their namespace; the table holds the bare name.
        QString name = QString::fromLatin1(m->className());
        name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
        topic = FindTopic(name, kNameTopics);
    }
    return topic.isEmpty() ? QString::fromLatin1(kContents) : topic;
}

QString HelpTopicForCommand(int commandId) {
    for (int id : kCommandIds) {
        if (id == commandId) {
            return QStringLiteral("menus.html#cmd-%1").arg(commandId);
        }
    }
    // The recent documents share one entry; Cut, Copy and Paste another.
    if (commandId > 57616 && commandId <= 57631) {
        return QStringLiteral("menus.html#cmd-57616");
    }
    if (commandId == 57634 || commandId == 57637) {
        return QStringLiteral("menus.html#cmd-57635");
    }
    if (commandId == 57681) {
        return QStringLiteral("menus.html#cmd-57680");
    }
    return {};
}

}  // namespace quillon::ui
