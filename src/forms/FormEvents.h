// Events to the movie: the one delivery operation and the catalogue of form and application
// events, each a legacy handler call followed by the dispatcher call.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lumo {

class FormInterface;

// The AS3 event callback for an EI-ready form (never for the dispatcher), else the call
// variable. True after an XML call; after a variable call, whether the player took it.
bool sendEvent(FormInterface& form, const std::wstring& function, const std::wstring& arguments,
               const std::wstring& separator);

namespace events {

void formChangeFocus(FormInterface& form, bool gained);
void appExit(FormInterface& form);
void formClose(FormInterface& form);
void formMaximize(FormInterface& form);
void formMinimize(FormInterface& form);
void formRestore(FormInterface& form);
void formResize(FormInterface& form);
void formReposition(FormInterface& form);
void appChangeFocus(FormInterface& form, bool active);
void appMinimize(FormInterface& form);
void appRestore(FormInterface& form);
void splashClosed(FormInterface& form);
// LeftHit, RightHit, TopHit, BottomHit in that order, for a window rectangle against a work area.
void edgeHits(FormInterface& form, const RECT& window, const RECT& workArea);
void dragDrop(FormInterface& form, const std::vector<std::wstring>& paths);
// A tick of timer `timerId`: "onAppTimer<id>" with the count, then the Timer<id> event.
void appTimer(FormInterface& form, int timerId, unsigned long count);

}  // namespace events
}  // namespace lumo
