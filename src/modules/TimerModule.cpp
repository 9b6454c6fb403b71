// vor.Application.Timer: start, stop and stopAll over the process's timer table.
#include "modules/TimerModule.h"

#include "bridge/CommandEngine.h"
#include "bridge/ValueFormat.h"
#include "forms/FormEvents.h"
#include "lumo/FormInterface.h"

#include <algorithm>
#include <vector>

namespace lumo {
namespace {

// The live timer modules; only the main thread makes, destroys and reads them. Never
// destroyed: shutdown may run again from the application object's destructor at exit.
std::vector<TimerModule*>& liveModules() {
  static auto* modules = new std::vector<TimerModule*>();
  return *modules;
}

}  // namespace

TimerModule::TimerModule(MultimediaTimer::Delivery delivery)
    : RuntimeModule(L"vor.Application.Timer", L"1.0.0", L"", true), delivery_(std::move(delivery)) {
  liveModules().push_back(this);
}

TimerModule::~TimerModule() {
  destroyTimers();
  auto& modules = liveModules();
  modules.erase(std::remove(modules.begin(), modules.end(), this), modules.end());
}

bool TimerModule::registerMethods() {
  using Command = std::wstring (TimerModule::*)(FormInterface*, const Arguments&);
  static const std::pair<const wchar_t*, Command> kCommands[] = {
      {L"start", &TimerModule::start}, {L"stop", &TimerModule::stop}, {L"stopAll", &TimerModule::stopAll}};
  for (const auto& [name, command] : kCommands) {
    addMethod(std::make_unique<CommandMethod>(
        name, [this, command](FormInterface* form, const Arguments& arguments) { return (this->*command)(form, arguments); }));
  }
  return true;
}

void TimerModule::clearMethods() {
  RuntimeModule::clearMethods();
  destroyTimers();
}

void TimerModule::destroyAllTimers() {
  for (TimerModule* module : liveModules()) module->destroyTimers();
}

void TimerModule::deliverToForm(int formId, int timerId, uint32_t count) {
  // The lookup takes the engine's lock; the movie calls go to the main thread without it.
  if (FormInterface* form = CommandEngine::instance().findForm(formId)) events::appTimer(*form, timerId, count);
}

std::wstring TimerModule::start(FormInterface* form, const Arguments& arguments) {
  if (arguments.size() < 3 || !form) return {};
  const int timerId = static_cast<int>(toInteger(arguments[0]));
  const long interval = toInteger(arguments[1]);
  const bool repeat = arguments[2] != L"false";
  // A timer already under this id would tick on where no stop could reach it: it goes first.
  // The movie's handler may do this from inside that timer's own tick, so nothing waits here.
  if (auto old = timers_.extract(timerId)) old.mapped().reset();
  auto timer = std::make_unique<MultimediaTimer>(form->id(), delivery_);
  MultimediaTimer& started = *timer;
  timers_[timerId] = std::move(timer);
  started.start(timerId, interval, repeat);
  return {};
}

std::wstring TimerModule::stop(FormInterface*, const Arguments& arguments) {
  if (arguments.empty()) return {};
  const auto it = timers_.find(static_cast<int>(toInteger(arguments[0])));
  if (it != timers_.end()) it->second->stop();
  return {};
}

std::wstring TimerModule::stopAll(FormInterface*, const Arguments&) {
  for (auto& [id, timer] : timers_) timer->stop();
  return {};
}

void TimerModule::destroyTimers() {
  // Every timer stopped in ascending id order, then the ticks still on their way finished
  // before anything is destroyed: this runs where no tick waits further up the stack (at
  // shutdown, before the forms go). The table is emptied first, so it stays whole meanwhile.
  std::map<int, std::unique_ptr<MultimediaTimer>> timers;
  timers.swap(timers_);
  for (auto& [id, timer] : timers) timer->stop();
  for (auto& [id, timer] : timers) timer->finishTicks();
}

}  // namespace lumo
