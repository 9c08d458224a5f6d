// The view of TConfigForm: five groups of radio buttons and sliders, the switch for reading aloud and
// "ＯＫ". Each control reports to the form as it changes, so the volume sliders are heard while they move.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <array>

#include "backends/qt/qt_windows.h"
#include "dialogs/TConfigForm.h"

namespace mokuren {

class WindowHost;

class ConfigDialog final : public QDialog, public AutomatedDialog {
  Q_OBJECT
 public:
  ConfigDialog(QWidget* parent, TConfigForm& form, WindowHost& host);
  // "dialog ok" clicks "ＯＫ"; "dialog cancel" leaves the dialog as the window's close command does.
  void Press(bool ok) override;
  // "config": clicks the radio buttons and moves the sliders it names.
  bool Fill(const Event& event) override;
  // Caption, then each group's caption and the captions and labels inside it.
  QStringList Texts() const override;
  QWidget& Widget() override { return *this; }
  QRadioButton& Radio(TConfigForm::Radio r) { return *radios_[r]; }
  QSlider& Slider(TConfigForm::Slider s) { return *sliders_[s]; }
  QCheckBox& Speech() { return *speech_; }

 protected:
  void reject() override;

 private:
  TConfigForm& form_;
  std::array<QRadioButton*, TConfigForm::RadioCount> radios_{};
  std::array<QSlider*, TConfigForm::SliderCount> sliders_{};
  QPushButton* ok_ = nullptr;
  QCheckBox* speech_ = nullptr;
};

}  // namespace mokuren
