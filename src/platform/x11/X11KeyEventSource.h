#pragma once

#include <QMetaObject>
#include <memory>

#include "base/WeakList.h"
#include "platform/KeyEventSource.h"
#include "platform/KeyboardState.h"
#include "platform/x11/X11KeyTranslator.h"
#include "platform/x11/X11RawInput.h"

namespace pellucine {

class X11Connection;

// The session's keyboard through XInput 2 raw key events, which reach taps whichever client
// has the focus or holds a grab, and the modifier state and what the keys print in the active
// layout through XKB, read anew at each call. X11 has no secure keyboard entry: it always reads
// as off. No tap can be made on a server without XInput 2.1.
class X11KeyEventSource final : public KeyEventSource, public KeyboardState {
  public:
    X11KeyEventSource(X11Connection& connection, X11RawInput& rawInput);
    ~X11KeyEventSource() override;
    X11KeyEventSource(const X11KeyEventSource&) = delete;
    X11KeyEventSource& operator=(const X11KeyEventSource&) = delete;

    std::unique_ptr<KeyEventTap> createTap(Handler handler) override;
    quint64 modifierFlags() const override;
    bool isSecureEventInputEnabled() const override { return false; }
    bool hasSecureEventInput() const override { return false; }
    std::optional<char32_t> keyCharacter(quint32 virtualKey) const override;

  private:
    struct TapState {
        Handler handler;
        bool enabled = true;
    };
    class Tap;

    void handleRaw(const X11RawInput::Event& event);
    void handleEvent(const xcb_generic_event_t& event);
    void tapRemoved();
    bool xkbReady() const;

    X11Connection& connection_;
    X11RawInput& rawInput_;
    X11KeyTranslator translator_;
    X11KeyboardMap map_;
    mutable bool xkbReady_ = false;
    WeakList<TapState> taps_;
    Subscription raw_;
    QMetaObject::Connection events_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
