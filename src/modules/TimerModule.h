// The built-in module vor.Application.Timer: numbered multimedia timers that call the movie of
// the form that started them, one table for the whole process.
#pragma once

#include "lumo/RuntimeModule.h"
#include "modules/CommandMethod.h"
#include "modules/MultimediaTimer.h"

#include <map>
#include <memory>

namespace lumo {

class TimerModule final : public RuntimeModule {
 public:
  // Ticks go to the form's movie by default; tests give a delivery of their own.
  explicit TimerModule(MultimediaTimer::Delivery delivery = deliverToForm);
  ~TimerModule() override;

  bool registerMethods() override;
  // The methods, then every timer, stopped, its running tick finished, and destroyed.
  void clearMethods() override;
  void poll() override {}

  static std::unique_ptr<RuntimeModule> create() { return std::make_unique<TimerModule>(); }
  // Stops and destroys the timers of every timer module: shutdown runs it before the forms
  // and the command engine go, so no tick reaches them.
  static void destroyAllTimers();
  // The onAppTimer call and the Timer event to the form, if it still exists.
  static void deliverToForm(int formId, int timerId, uint32_t count);

  const std::map<int, std::unique_ptr<MultimediaTimer>>& timers() const { return timers_; }

 private:
  std::wstring start(FormInterface* form, const Arguments& arguments);
  std::wstring stop(FormInterface* form, const Arguments& arguments);
  std::wstring stopAll(FormInterface* form, const Arguments& arguments);
  void destroyTimers();

  MultimediaTimer::Delivery delivery_;
  std::map<int, std::unique_ptr<MultimediaTimer>> timers_;  // by timer id, ascending
};

}  // namespace lumo
