// The component hooks' base behaviour, and registration at construction.
#include "app/ApplicationComponent.h"

#include "app/Application.h"

ApplicationComponent::ApplicationComponent() {
    Application::instance()->addComponent(this);
}

void ApplicationComponent::onWindowClass(WNDCLASSEXA&) {}

void ApplicationComponent::onReserved() {}

void ApplicationComponent::onWindowParams(DWORD&, DWORD&, int&, int&, int&, int&) {}

bool ApplicationComponent::onWindowCreated(HWND) {
    return false;
}

int32_t ApplicationComponent::onMessage(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

void ApplicationComponent::onFrame() {}
