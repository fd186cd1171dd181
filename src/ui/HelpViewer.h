// The help window: the program's own help pages, opened by help context number, with back,
// forward and contents, and links between topics. There is one at a time; asking again reuses it.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "app/HelpTopics.h"

class QTextBrowser;
class QToolButton;

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Opens (or raises) the help window on the topic of the context; 0 or an unknown context
    // shows the contents. The window belongs to the owner when it is first created.
    static HelpViewer* ShowContext(QWidget* owner, std::uint32_t context);
    static HelpViewer* ShowTopic(QWidget* owner, const HelpTopic& topic);
    // The open help window, or null.
    static HelpViewer* Instance();
    // Context help mode: the pointer asks "what is this?" until the next click, which opens
    // help on the tree row under it, or the contents anywhere else. Escape leaves the mode.
    static void EnterContextHelp(QWidget* owner);
    static bool InContextHelp();

    QTextBrowser& Browser() { return *browser_; }
    // The page shown, e.g. "databases.html", and the anchor it was opened at.
    QString CurrentPage() const;
    QString CurrentAnchor() const;
    void Open(const HelpTopic& topic);
    void ShowContents();

private:
    explicit HelpViewer(QWidget* owner);
    void UpdateTitle();

    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
    static QPointer<HelpViewer> instance_;
};
