// The drives page and the storage page of the window: a drop-down list of drives (with the
// pie and summary of the chosen one) or of physical devices above the page's list.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::window {

class DrivePie;
class SectionListView;

class DrivesPage : public QWidget {
 public:
  DrivesPage(gather::TGetFunctionsClass& controller, SectionListView* list, QWidget* parent);
  ~DrivesPage() override;

  QComboBox* combo() const { return combo_; }
  DrivePie* pie() const { return pie_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildList();
  void ShowSelected();

  gather::TGetFunctionsClass& controller_;
  SectionListView* list_;
  QComboBox* combo_;
  DrivePie* pie_;
  QLabel *total_, *used_, *free_, *fileSystem_, *compression_, *encryption_, *perCluster_;
  QLabel* perClusterCaption_;
  bool rendering_ = false;
};

class StoragePage : public QWidget {
 public:
  StoragePage(gather::TGetFunctionsClass& controller, SectionListView* list, QWidget* parent);
  ~StoragePage() override;
  QComboBox* combo() const { return combo_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildList();
  void ShowSelected();

  gather::TGetFunctionsClass& controller_;
  SectionListView* list_;
  QComboBox* combo_;
  bool rendering_ = false;
};

QWidget* MakeDrivesPage(gather::TGetFunctionsClass& controller, SectionListView* list,
                        QWidget* parent);
QWidget* MakeStoragePage(gather::TGetFunctionsClass& controller, SectionListView* list,
                         QWidget* parent);

}  // namespace tavrin::window
