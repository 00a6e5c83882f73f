// The keyboard and mouse component: turns window messages into key, button, wheel and move
// events, keeps the current InputState, and offers each event to its listeners, newest first,
// until one consumes it.
#pragma once

#include "app/ApplicationComponent.h"
#include "app/String.h"
#include "input/InputDevice.h"
#include "input/InputListener.h"
#include "platform/platform.h"
#include <cstdint>
#include <list>
#include <map>

class InputSystem : public InputDevice, public ApplicationComponent {
public:
    // Creates the system on the first call; its component part registers it with the
    // Application. It is never destroyed.
    static InputSystem* instance();

    bool isNull() const override { return false; }
    void toCentreRelative(int32_t& x, int32_t& y) override;
    void centreCursor() override;

    bool onWindowCreated(HWND window) override;
    // 0 after WM_KEYDOWN and WM_KEYUP, 1 after anything else.
    int32_t onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The listener added last is asked first; it is not owned and must outlive its use here.
    void addListener(InputListener* listener);
    InputState getState() const { return state_; }

    // Display name of a fixed key code, or null for codes without one.
    const char* keyName(int32_t code) const;
    // The key code of a virtual key; a key without a fixed code gets the next dynamic code on
    // first use and keeps it.
    int32_t keyCodeFor(uint32_t virtualKey);

private:
    // Builds the tables and registers the component.
    InputSystem();

    void fillKeyNames();
    void fillVirtualKeys();
    int32_t keyCodeOfMessage(WPARAM wParam, LPARAM lParam);
    void keyEvent(int32_t code, int32_t character, bool pressed);
    void mouseMoved(int32_t x, int32_t y);
    void deliver(int32_t type);
    uint32_t halfWidth() const;
    uint32_t halfHeight() const;

    InputState state_;
    std::map<int32_t, String> keyNames_;
    std::list<InputListener*> listeners_; // newest first
    std::map<uint32_t, int32_t> virtualKeys_;
    int32_t nextDynamicCode_ = 0;
    BYTE keyboardState_[256];
};
