// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

// The control kinds as Qt widgets. They hold what Qt shows; the settings
// that the game writes and reads back are kept by the window layer. The
// timer and the script component are never drawn: a plain hidden widget
// stands for each.

// A push button whose caption is centred and wrapped onto further lines
// when it does not fit, which QPushButton does not do.
class CaptionButton : public QPushButton {
    Q_OBJECT

public:
    explicit CaptionButton(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The one-line, read-only edit box with a thin flat border. Its selection
// shows only while it has the focus.
class EditBox : public QLineEdit {
    Q_OBJECT

public:
    explicit EditBox(QWidget *parent);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showSelection(bool shown);
};

// Single selection, unsorted, rows one pixel taller than the font, tabs
// expanded to stops of eight average characters, a sunken edge. Its height
// stays as set, so a partly visible last row is cut off.
class ListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget *parent);
};

// A horizontal bar drawn in separate blocks inside a thin sunken border,
// without text.
class BlockProgressBar : public QProgressBar {
    Q_OBJECT

public:
    explicit BlockProgressBar(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Draws only its text, on one line, left-aligned and vertically centred; the
// window shows through around and behind the letters.
//
// Screen readers see static text named by the text, and hear a new text
// while the label shows, and the text when it comes into view; a hidden
// label is not among its parent's accessible children.
class TransparentLabel : public QWidget {
    Q_OBJECT

public:
    explicit TransparentLabel(QWidget *parent);
    void setText(const QString &text);
    QString text() const { return m_text; }
    void setTextColour(const QColor &colour);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QColor m_colour;
};

// The main window's client area: its background colour and the controls.
// Its accessible children are the controls that are not hidden.
class ClientArea : public QWidget {
    Q_OBJECT

public:
    ClientArea(QWidget *parent, const QColor &background);
    std::function<void()> onFocusIn;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    QColor m_background;
};

// The main window: its size is the outer size, frame included. The client
// area is what the frame leaves inside it. Where the platform draws no frame
// the window draws a one-pixel frame of its own, so that a control just
// beyond the client area's edge is out of view there too.
class MainFrame : public QWidget {
    Q_OBJECT

public:
    MainFrame(const QColor &background, QSize outer);
    ~MainFrame() override;

    ClientArea *clientArea() const { return m_client; }
    QSize outerSize() const { return m_outer; }
    // Keeps the window's place; nothing inside moves.
    void setOuterSize(QSize outer);

    // False refuses the close.
    std::function<bool()> onCloseRequest;
    std::function<void()> onDestroy;
    std::function<void()> onFocusWanted;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fit();

    ClientArea *m_client;
    QSize m_outer;
    int m_ownFrame = -1;
};
