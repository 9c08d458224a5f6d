// Members of TForm1 for the script engine. Included inside TForm1's class body.

// ---- The loaded script -----------------------------------------------------------------------------
std::vector<ScriptInstruction> ScriptCode = std::vector<ScriptInstruction>(kMaxInstructions);
std::vector<std::u16string> LabelNames;
std::vector<std::u16string> JumpNames;
std::vector<std::u16string> MessageTexts;
std::vector<std::u16string> ResourceNames;
std::vector<std::u16string> ResourceNameArray = std::vector<std::u16string>(kResourceNameArraySize);

void Kumo_ReadScript(int n);
// Creates the four script string lists (start-up, second stage).
void CreateScriptLists();

// ---- The interpreter -------------------------------------------------------------------------------
void Kumo_TaskScript();
void Kumo_ClearScenarioFlg();
void Kumo_ClearReturnTbl();
