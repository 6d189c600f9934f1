// Where "today" comes from, so tests can pin it.
#pragma once

#include <chrono>

namespace flussom {

class Orologio {
 public:
  virtual ~Orologio() = default;
  virtual std::chrono::year_month_day oggi() const = 0;
};

// The system clock, local time.
class OrologioSistema : public Orologio {
 public:
  std::chrono::year_month_day oggi() const override;
};

// A fixed day.
class OrologioFisso : public Orologio {
 public:
  explicit OrologioFisso(std::chrono::year_month_day giorno) : giorno_(giorno) {}
  std::chrono::year_month_day oggi() const override { return giorno_; }

 private:
  std::chrono::year_month_day giorno_;
};

}  // namespace flussom
