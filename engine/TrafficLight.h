#pragma once
// The rhythm light of the text events: three lamps, lit bottom (even rhythm), middle or
// top (uneven), each with its caption.

#include <QWidget>
#include <array>
#include <string>

namespace corv {

class TTrafficLightLcd : public QWidget {
  public:
    explicit TTrafficLightLcd(QWidget* parent = nullptr);

    // 0 lights nothing, 1 the bottom lamp, 2 the middle, 3 the top. Repaints on change only.
    void SetState(int state);
    int State() const { return state_; }
    // Captions of the lamps of states 1, 2 and 3 (Windows-1252).
    void SetCaptions(const std::string& state1, const std::string& state2,
                     const std::string& state3);
    const std::array<std::string, 3>& Captions() const { return captions_; }
    int Paints() const { return paints_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int state_ = 0;
    std::array<std::string, 3> captions_;
    int paints_ = 0;
};

}  // namespace corv
