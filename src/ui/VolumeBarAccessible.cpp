#include "ui/VolumeBarAccessible.h"

#include <QAccessibleWidget>

#include "controls/VolumeBar.h"

namespace ekoto {
namespace {

class VolumeBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit VolumeBarAccessible(VolumeBar* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::number(Bar()->Value());
    return QAccessibleWidget::text(t);
  }

  QVariant currentValue() const override { return Bar()->Value(); }
  void setCurrentValue(const QVariant& value) override { Bar()->SetValue(value.toInt()); }
  QVariant maximumValue() const override { return Bar()->Max(); }
  QVariant minimumValue() const override { return Bar()->Min(); }
  QVariant minimumStepSize() const override { return 1; }

 private:
  VolumeBar* Bar() const { return static_cast<VolumeBar*>(widget()); }
};

QAccessibleInterface* VolumeBarFactory(const QString& sClassName, QObject* object) {
  if (sClassName != QLatin1String("ekoto::VolumeBar") || object == nullptr || !object->isWidgetType()) return nullptr;
  return new VolumeBarAccessible(static_cast<VolumeBar*>(object));
}

}  // namespace

void InstallVolumeBarAccessibility() {
  static const bool bInstalled = [] {
    QAccessible::installFactory(VolumeBarFactory);
    return true;
  }();
  (void)bInstalled;
}

}  // namespace ekoto
