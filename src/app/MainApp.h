#pragma once

#include <QObject>
#include <memory>

namespace pellucine {

class AppDelegate;
class AppModel;

// The application scene: it holds the delegate and hands it the application's lifecycle (launch
// once the event loop runs, becoming active, termination as the loop ends), and reads the one
// shared model. Needs the GUI application; main thread.
class MainApp final : public QObject {
    Q_OBJECT

  public:
    explicit MainApp(std::unique_ptr<AppDelegate> delegate, QObject* parent = nullptr);
    ~MainApp() override;

    AppDelegate& delegate() const { return *delegate_; }
    // The model of the shared environment.
    static AppModel& model();

  private:
    std::unique_ptr<AppDelegate> delegate_;
};

}  // namespace pellucine
