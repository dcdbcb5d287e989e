#include "platform/error_path.h"

#include <exception>
#include <new>

#include "core/errors.h"
#include "platform/platform.h"

QString CurrentErrorText() {
    try {
        throw;
    } catch (const HvError& e) {
        return QString::fromUtf8(e.what());
    } catch (const std::bad_alloc&) {
        return QString::fromUtf8(msg::kOutOfMemory);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("不明なエラーが発生しました");
    }
}

void RunGuarded(Platform& platform, QWidget* parent, const std::function<void()>& handler) {
    QString error;
    try {
        handler();
        return;
    } catch (...) {
        error = CurrentErrorText();
    }
    try {
        platform.showError(parent, error);
    } catch (...) {
        // Nothing may leave a slot; a box that cannot be shown is dropped.
    }
}
