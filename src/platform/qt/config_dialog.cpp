#include "platform/qt/config_dialog.h"

#include <QGroupBox>
#include <QLabel>

#include "app/event_script.h"
#include "platform/qt/dialog_style.h"

namespace mokuren {

namespace {

using Form = TConfigForm;

// Where each group sits in the 394x334 client area.
constexpr QRect kGroups[] = {
    {8, 8, 185, 52}, {201, 8, 185, 52}, {8, 68, 378, 52}, {8, 128, 378, 60}, {8, 196, 378, 94}};
// Radio buttons side by side inside their group.
constexpr int kRadioX[] = {16, 100, 16, 100, 16, 136, 256};
constexpr int kSliderX = 84, kSliderWidth = 260;

QLabel* AddLabel(QWidget* parent, std::u16string_view text, QRect where, Qt::Alignment align = Qt::AlignLeft) {
  auto* label = new QLabel(Q(text), parent);
  label->setGeometry(where);
  label->setAlignment(align | Qt::AlignVCenter);
  return label;
}

}  // namespace

ConfigDialog::ConfigDialog(QWidget* parent, TConfigForm& form) : QDialog(parent, kDialogFlags), form_(form) {
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(Q(form.Caption));
  setFont(DialogFont(FontName::PGothic, 12));
  setFixedSize(394, 334);
  std::array<QGroupBox*, std::size(Form::kGroupCaptions)> groups{};
  for (size_t g = 0; g < groups.size(); ++g) {
    groups[g] = new QGroupBox(Q(Form::kGroupCaptions[g]), this);
    groups[g]->setGeometry(kGroups[g]);
  }
  for (int r = 0; r < Form::RadioCount; ++r) {
    auto* radio = new QRadioButton(Q(Form::kRadios[r].caption), groups[Form::kRadios[r].group]);
    radio->setGeometry(kRadioX[r], 22, r == Form::ModeFullRB ? 84 : 76, 20);
    radio->setChecked(form.Checked[r]);
    connect(radio, &QRadioButton::toggled, this, [this, r](bool on) {
      if (on) form_.Check(static_cast<Form::Radio>(r));
    });
    radios_[r] = radio;
  }
  auto addSlider = [&](Form::Slider s, QRect where) {
    auto* slider = new QSlider(Qt::Horizontal, groups[Form::kSliders[s].group]);
    slider->setGeometry(where);
    slider->setRange(0, Form::kSliders[s].max);
    slider->setSingleStep(1);
    slider->setPageStep(s == Form::MsgAutoBar ? 2 : 10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(s == Form::MsgAutoBar ? 1 : 10);
    slider->setValue(form.Position[s]);
    connect(slider, &QSlider::valueChanged, this, [this, s](int v) { form_.SetPosition(s, v); });
    sliders_[s] = slider;
  };
  QGroupBox* autoGroup = groups[Form::kSliders[Form::MsgAutoBar].group];
  AddLabel(autoGroup, Form::kAutoEnds[0], {12, 20, 30, 24}, Qt::AlignRight);
  AddLabel(autoGroup, Form::kAutoEnds[1], {336, 20, 34, 24});
  addSlider(Form::MsgAutoBar, {46, 18, 286, 30});
  QGroupBox* volumes = groups[Form::kSliders[Form::BgmVolBar].group];
  for (int s = Form::BgmVolBar; s < Form::SliderCount; ++s) {
    const int y = 18 + 24 * (s - Form::BgmVolBar);
    AddLabel(volumes, Form::kSliders[s].label, {12, y, 60, 24});
    if (s == Form::SeVolBar) {
      AddLabel(volumes, Form::kVolumeEnds[0], {kSliderX - 16, y, 14, 24});
      AddLabel(volumes, Form::kVolumeEnds[1], {kSliderX + kSliderWidth + 4, y, 14, 24});
    }
    addSlider(static_cast<Form::Slider>(s), {kSliderX, y, kSliderWidth, 24});
    // The volumes are set with the mouse; Tab passes them by.
    sliders_[s]->setFocusPolicy(Qt::ClickFocus);
  }
  ok_ = new QPushButton(Q(form.OkCaption), this);
  ok_->setGeometry(160, 300, 75, 25);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, [this] { form_.OkButtonClick(); });
}

void ConfigDialog::Press(bool ok) {
  if (ok)
    ok_->click();
  else
    reject();
}

bool ConfigDialog::Fill(const Event& event) {
  if (event.verb != "config") return false;
  // The events file has checked every pair.
  for (const std::string& pair : event.args) {
    const ConfigControl c = *ParseConfigControl(pair);
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
