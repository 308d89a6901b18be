// "Select a Heart Model": the model files of the program directory's Clinic folder in a
// drop-down list; OK hands the chosen file name to the load command.
#pragma once

#include <QDialog>
#include <filesystem>
#include <string>

#include "model/therapy/heart_model_choice.h"

class QComboBox;

namespace vantrel {

class CSelectHeart : public QDialog {
    Q_OBJECT
public:
    CSelectHeart(const std::filesystem::path& programDirectory, QWidget* parent);
    // The file name for the load (".hmd" included); empty when the folder holds no model.
    const std::string& ChosenName() const { return choice_.ChosenName(); }
    QComboBox* List() const { return list_; }

private:
    HeartModelChoice choice_;
    QComboBox* list_;
};

}  // namespace vantrel
