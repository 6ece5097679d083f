#pragma once

class TForm1;
class TMainForm;
class TFormStat;
class TForm3;
class TLessonOptions;
class TFormFuxi;
class TAboutForm;
class TFormHelp;
class TFormThems;
class TFormProgress;
class TFormStrokes;

// The program's windows, created once at start in this order and living until it ends. Each window
// reaches the others through this table, as the windows of one program do.
struct ProgramWindows {
    TForm1 *Form1 = nullptr;
    TMainForm *MainForm = nullptr;
    TFormStat *FormStat = nullptr;
    TForm3 *Form3 = nullptr;
    TLessonOptions *LessonOptions = nullptr;
    TFormFuxi *FormFuxi = nullptr;
    TAboutForm *AboutForm = nullptr;
    TFormHelp *FormHelp = nullptr;
    TFormThems *FormThems = nullptr;
    TFormProgress *FormProgress = nullptr;
    TFormStrokes *FormStrokes = nullptr;
};

// Writes the Russian interface texts into the controls of every window.
void ApplyUiTexts(const ProgramWindows &windows);
