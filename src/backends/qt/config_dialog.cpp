#include "backends/qt/config_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "backends/qt/dialog_style.h"
#include "platform/event.h"
#include "platform/window_host.h"

namespace mokuren {

namespace {

using Form = TConfigForm;

QLabel* AddLabel(QWidget* parent, std::u16string_view text) { return new QLabel(Q(text), parent); }

}  // namespace

ConfigDialog::ConfigDialog(QWidget* parent, TConfigForm& form, WindowHost& host)
    : QDialog(parent, kDialogFlags), form_(form) {
  SetUpDialog(*this, form.Caption, {394, 358}, true);
  setAccessibleName(Q(form.Caption));
  // What it sets, for a screen reader: its groups' names.
  QString groupNames;
  for (const std::u16string& group : form.GroupCaptions)
    groupNames += (groupNames.isEmpty() ? QString() : QStringLiteral("、")) + Q(group);
  setAccessibleDescription(groupNames);
  // Effects and screen mode side by side, then speed, auto advance and the volumes across the dialog.
  auto* grid = new QGridLayout(this);
  std::array<QGroupBox*, Form::kGroupCount> groups{};
  for (size_t g = 0; g < groups.size(); ++g) {
    groups[g] = new QGroupBox(Q(form.GroupCaptions[g]), this);
    if (g < 2)
      grid->addWidget(groups[g], 0, static_cast<int>(g));
    else
      grid->addWidget(groups[g], static_cast<int>(g) - 1, 0, 1, 2);
  }
  std::array<QHBoxLayout*, 3> radioRows{};
  for (int g = 0; g < 3; ++g) radioRows[g] = new QHBoxLayout(groups[g]);
  for (int r = 0; r < Form::RadioCount; ++r) {
    const int g = Form::kRadios[r].group;
    auto* radio = new QRadioButton(Q(form.RadioCaptions[r]), groups[g]);
    radio->setChecked(form.Checked[r]);
    radio->setAccessibleDescription(Q(form.GroupCaptions[static_cast<size_t>(g)]));
    connect(radio, &QRadioButton::toggled, this, [this, r](bool on) {
      if (on) form_.Check(static_cast<Form::Radio>(r));
    });
    radioRows[g]->addWidget(radio);
    radios_[r] = radio;
  }
  auto makeSlider = [&](Form::Slider s) {
    auto* slider = new QSlider(Qt::Horizontal, groups[Form::kSliders[s].group]);
    slider->setRange(0, Form::kSliders[s].max);
    slider->setSingleStep(1);
    slider->setPageStep(s == Form::MsgAutoBar ? 2 : 10);
    // A tick for each second of the auto delay; the volume rows stay slim without them.
    if (s == Form::MsgAutoBar) {
      slider->setTickPosition(QSlider::TicksBelow);
      slider->setTickInterval(1);
    }
    slider->setValue(form.Position[s]);
    connect(slider, &QSlider::valueChanged, this, [this, s](int v) { form_.SetPosition(s, v); });
    // Named for a screen reader by its row (the volumes) or its group (the auto delay), and described by
    // the labels at its two ends.
    const std::u16string& ends0 = s == Form::MsgAutoBar ? form.AutoEnds[0] : form.VolumeEnds[0];
    const std::u16string& ends1 = s == Form::MsgAutoBar ? form.AutoEnds[1] : form.VolumeEnds[1];
    slider->setAccessibleName(Q(s == Form::MsgAutoBar ? form.GroupCaptions[static_cast<size_t>(Form::kSliders[s].group)]
                                                      : form.SliderLabels[s]));
    slider->setAccessibleDescription(Q(ends0) + QStringLiteral(" – ") + Q(ends1));
    sliders_[s] = slider;
    return slider;
  };
  QGroupBox* autoGroup = groups[Form::kSliders[Form::MsgAutoBar].group];
  auto* autoRow = new QHBoxLayout(autoGroup);
  QLabel* autoFrom = AddLabel(autoGroup, form.AutoEnds[0]);
  QLabel* autoTo = AddLabel(autoGroup, form.AutoEnds[1]);
  autoRow->addWidget(autoFrom);
  autoRow->addWidget(makeSlider(Form::MsgAutoBar));
  autoRow->addWidget(autoTo);
  // The volumes: a label, then the slider between "小" and "大", which only the middle row shows.
  QGroupBox* volumes = groups[Form::kSliders[Form::BgmVolBar].group];
  auto* rows = new QGridLayout(volumes);
  rows->setVerticalSpacing(8);
  for (int s = Form::BgmVolBar; s < Form::SliderCount; ++s) {
    const int row = s - Form::BgmVolBar;
    rows->addWidget(AddLabel(volumes, form.SliderLabels[s]), row, 0);
    if (s == Form::SeVolBar) {
      rows->addWidget(AddLabel(volumes, form.VolumeEnds[0]), row, 1);
      rows->addWidget(AddLabel(volumes, form.VolumeEnds[1]), row, 3);
    }
    rows->addWidget(makeSlider(static_cast<Form::Slider>(s)), row, 2);
  }
  // Reading aloud is the player's, for every game; "ＯＫ" keeps it as the other settings.
  speech_ = new QCheckBox(Q(form.SpeechCaption), this);
  speech_->setChecked(host.SpeechOn());
  grid->addWidget(speech_, 4, 0, 1, 2);
  ok_ = new QPushButton(Q(form.OkCaption), this);
  ok_->setFixedSize(75, 25);
  ok_->setDefault(true);
  ok_->setAccessibleDescription(Q(form.Caption));
  grid->addWidget(ok_, 5, 0, 1, 2, Qt::AlignCenter);
  connect(ok_, &QPushButton::clicked, this, [this, &host] {
    if (speech_->isChecked() != host.SpeechOn()) host.SetSpeechOn(speech_->isChecked());
    form_.OkButtonClick();
  });
  // In another language, longer captions than the original's and a face taller than the Japanese one
  // widen and lengthen the dialog rather than being cut (the style's measures count once it is
  // polished). The original's dialog keeps its size.
  if (!DialogsInJapanese()) {
    ensurePolished();
    const QSize needed = sizeHint();
    if (needed.width() > width() || needed.height() > height()) setFixedSize(size().expandedTo(needed));
  }
}

void ConfigDialog::Press(bool ok) {
  if (ok)
    ok_->click();
  else
    reject();
}

bool ConfigDialog::Fill(const Event& event) {
  if (event.verb != Verb::Config) return false;
  for (const ConfigSetting& setting : event.settings) {
    const ConfigControl c = ControlOf(setting);
    if (c.radio)
      radios_[c.button]->click();
    else
      sliders_[c.slider]->setValue(c.position);
  }
  return true;
}

QStringList ConfigDialog::Texts() const {
  QStringList texts{windowTitle()};
  for (const QGroupBox* group : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
    texts << group->title();
    for (const QObject* child : group->children()) {
      if (const auto* radio = qobject_cast<const QRadioButton*>(child)) texts << radio->text();
      if (const auto* label = qobject_cast<const QLabel*>(child)) texts << label->text();
    }
  }
  return texts;
}

// Leaving without "ＯＫ" stores nothing more than the volume sliders already did.
void ConfigDialog::reject() { form_.ModalResult = mrCancel; }

}  // namespace mokuren
