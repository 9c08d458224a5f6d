// Members of TForm1 for the script engine. Included inside TForm1's class body.

void Kumo_ReadScript(int n);
void Kumo_TaskScript();
void Kumo_ClearScenarioFlg();
void Kumo_ClearReturnTbl();
// Creates the four script string lists (start-up, second stage).
void CreateScriptLists();
