// Math: the constants and the functions. Every function converts its first two arguments, used
// or not (valueOf runs for both), min and max look at those two only, and up to SWF 6 a call
// with too few arguments gives NaN, as in the player.
#include "Globals.h"

#include <cmath>
#include <numbers>
#include <random>

namespace avm1 {

namespace {
enum class Op { Abs, Min, Max, Sin, Cos, Atan2, Tan, Exp, Log, Sqrt, Round, Random, Floor, Ceil, Atan, Asin, Acos, Pow };

double apply(Op op, double x, double y, size_t count) {
  switch (op) {
    case Op::Abs: return std::fabs(x);
    case Op::Min: return count == 0 ? INFINITY : (std::isnan(x) || std::isnan(y)) ? NAN : std::min(x, y);
    case Op::Max: return count == 0 ? -INFINITY : (std::isnan(x) || std::isnan(y)) ? NAN : std::max(x, y);
    case Op::Sin: return std::sin(x);
    case Op::Cos: return std::cos(x);
    case Op::Atan2: return std::atan2(x, y);
    case Op::Tan: return std::tan(x);
    case Op::Exp: return std::exp(x);
    case Op::Log: return std::log(x);
    case Op::Sqrt: return std::sqrt(x);
    case Op::Round: return std::floor(x + 0.5);  // halves round up, -2.5 to -2
    case Op::Random: {
      static std::mt19937 engine{std::random_device{}()};
      return static_cast<double>(engine() & 0x7FFFFFFF) / 2147483648.0;
    }
    case Op::Floor: return std::floor(x);
    case Op::Ceil: return std::ceil(x);
    case Op::Atan: return std::atan(x);
    case Op::Asin: return std::asin(x);
    case Op::Acos: return std::acos(x);
    case Op::Pow: return std::pow(x, y);
  }
  return NAN;
}

bool enoughArguments(Op op, size_t count, double x) {
  if (op == Op::Random || ((op == Op::Min || op == Op::Max) && count == 0)) return true;
  if (op == Op::Pow && count == 1 && x == 1) return true;
  if ((op == Op::Min || op == Op::Max || op == Op::Pow || op == Op::Atan2) && count < 2) return false;
  return count > 0;
}
}  // namespace

void installMathClass(Machine& m) {
  ObjectRef math = m.newObject();
  m.global()->define(m, "Math", Value(math), kDontEnum);
  struct Constant { const char* name; double value; };
  using namespace std::numbers;
  for (const Constant& c : {Constant{"PI", pi}, {"E", e}, {"LN2", ln2}, {"LN10", ln10},
                            {"LOG2E", log2e}, {"LOG10E", log10e}, {"SQRT2", sqrt2},
                            {"SQRT1_2", 1 / sqrt2}})
    math->define(m, c.name, Value(c.value), kDontEnum | kDontDelete | kReadOnly);
  struct Function { const char* name; Op op; };
  for (const Function& f : {Function{"abs", Op::Abs}, {"min", Op::Min}, {"max", Op::Max}, {"sin", Op::Sin},
                            {"cos", Op::Cos}, {"atan2", Op::Atan2}, {"tan", Op::Tan}, {"exp", Op::Exp},
                            {"log", Op::Log}, {"sqrt", Op::Sqrt}, {"round", Op::Round}, {"random", Op::Random},
                            {"floor", Op::Floor}, {"ceil", Op::Ceil}, {"atan", Op::Atan}, {"asin", Op::Asin},
                            {"acos", Op::Acos}, {"pow", Op::Pow}}) {
    Op op = f.op;
    defineMethod(m, math, f.name, [op](Machine& mm, const Value&, const Args& args) {
      double x = mm.toNumber(arg(args, 0)), y = mm.toNumber(arg(args, 1));
      if (mm.rules().version() <= 6 && !enoughArguments(op, args.size(), x)) return Value(NAN);
      return Value(apply(op, x, y, args.size()));
    });
    math->findOwn(m, f.name)->flags = kDontEnum | kDontDelete | kReadOnly;
  }
}

}  // namespace avm1
