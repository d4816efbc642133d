#pragma once
#include "HostExport.h"
#include <QString>
#include <functional>
#include <utility>

// The one protected call. Every entry from Qt into our code (slots, key and focus handlers, model edits,
// timers) runs through it: an abort ends the action silently, any other failure goes to the error handler
// the host installed (message, rollback), and control returns normally to Qt, whose code is not
// exception safe. Returns false when the action failed or was aborted.
KELMHOST_EXPORT bool ExecutaProtegido(const std::function<void()>& action);

// How many actions have failed so far: a caller compares two readings to know whether something run in
// between failed (a focus change whose exit failed must not let the click that caused it act).
KELMHOST_EXPORT int FalhasProtegidas();

// Where failures go; without a handler they are logged. The host context installs its own.
using TratadorErro = std::function<void(const QString& text)>;
KELMHOST_EXPORT void DefineTratadorErro(TratadorErro handler);

// A slot that runs through ExecutaProtegido: connect(button, &QPushButton::clicked, this, Protegido([this] {
// ... })). It takes as many of the signal's arguments as the wrapped callable accepts.
template <typename F> class SlotProtegido {
public:
    explicit SlotProtegido(F f) : m_f(std::move(f)) {}
    template <typename... A>
    auto operator()(A&&... args) const
        -> decltype(std::declval<const F&>()(std::forward<A>(args)...), void()) {
        ExecutaProtegido([&] { m_f(std::forward<A>(args)...); });
    }

private:
    F m_f;
};
template <typename F> SlotProtegido<F> Protegido(F f) {
    return SlotProtegido<F>(std::move(f));
}
