// The small notice "Wiedergabe läuft, bitte warten..." shown while a voice prompt plays, and the
// playback protocol every player follows.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QFrame;
class QLabel;
class QTimer;

namespace varnex {

class Tsound_splash_form : public QWidget {
  Q_OBJECT

 public:
  explicit Tsound_splash_form(QWidget* parent = nullptr);

  // False while a playback runs; the timer closes the notice once it is true.
  bool PlaybackDone = true;

  // Shows the notice (PlaybackDone false) and lets it be drawn before the sound starts.
  void BeginPlayback();
  // Marks the playback done; the notice closes at the next tick of its 1000 ms timer.
  void EndPlayback();
  // The whole protocol: BeginPlayback, each of `paths` that exists played through the installed
  // sound player (waiting for each when waitForEnd, missing ones skipped), EndPlayback.
  void PlayWaveFiles(const std::vector<std::string>& paths, bool waitForEnd);

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void Timer1Timer();

 private:
  QFrame* Panel1;
  QFrame* Bevel1;
  QLabel* Image1;
  QLabel* Label1;
  QTimer* Timer1;
};

}  // namespace varnex
