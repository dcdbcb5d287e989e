// The filter dialogs. Each is created once at start-up, hidden, and keeps its field texts between
// uses; commands show them modally through the platform.
#pragma once

#include <QDialog>

#include "filters/settings.h"

class Platform;
class QLineEdit;
class QPushButton;

// Base of the filter dialogs: a fixed-size modal window with an OK button.
class FilterDialog : public QDialog {
    Q_OBJECT
public:
    FilterDialog(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QPushButton* Button1 = nullptr;

protected:
    FilterSettings& m_settings;
    Platform& m_platform;
};

class TEDG : public FilterDialog {
    Q_OBJECT
public:
    TEDG(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;
    void Button1Click();
};

class TBLUR : public FilterDialog {
    Q_OBJECT
public:
    TBLUR(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;
    void Button1Click();
};

class TGMM : public FilterDialog {
    Q_OBJECT
public:
    TGMM(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;
    void Button1Click();
};

class TSabachie : public FilterDialog {
    Q_OBJECT
public:
    TSabachie(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;
    void Button1Click();
};

class TGMCPanel : public FilterDialog {
    Q_OBJECT
public:
    TGMCPanel(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;  // direction
    QLineEdit* Edit2 = nullptr;  // flow
    QLineEdit* Edit3 = nullptr;  // blur amount
    QLineEdit* Edit4 = nullptr;  // threshold
    void Button1Click();
};

class TComaCorrect : public FilterDialog {
    Q_OBJECT
public:
    TComaCorrect(FilterSettings& settings, Platform& platform, QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;  // X
    QLineEdit* Edit2 = nullptr;  // Y
    QLineEdit* Edit3 = nullptr;  // coma amount
    void Button1Click();
};
