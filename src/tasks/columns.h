#pragma once
// Columns of the task record (row 0 of the task table holds their titles).
namespace tarvex::col {
constexpr int TAREFA = 0;        // row number, two digits
constexpr int NOME = 1;
constexpr int TIPO = 2;          // "06 - WINZIP": code is the first two characters
constexpr int PERIODO = 3;       // "01 - Todos os Dias"
constexpr int ULTIMA_EXEC = 4;   // "dd/mm/yy hh:mm:ss"
constexpr int HORA = 5;          // "hh:mm"
constexpr int MENSAGEM = 6;
constexpr int VER_EXEC = 7;
constexpr int PAUSE = 8;         // "S" / "N"
// Untitled: the last failure, "dd/mm hh:mm: reason", emptied by the next successful
// run (a table whose runs succeed is stored as it always was).
constexpr int ULTIMO_ERRO = 9;
// Untitled: ZIP and backup tasks, "Manter os últimos N" archives; empty for 0 (all).
constexpr int MANTER = 10;
// Untitled: ZIP tasks, the archive's password protected for the Windows user
// (platform::secrets(), hex text); empty: the archive is not encrypted.
constexpr int SENHA_ZIP = 13;
constexpr int DIR_ORIGEM = 15;
constexpr int DIR_DESTINO = 16;
constexpr int PEN = 17;
constexpr int EXTENSAO = 18;
constexpr int ARQUIVO = 19;
constexpr int EXECUTAVEL = 20;
constexpr int FUNCOES = 21;
constexpr int ARQDEST = 22;
constexpr int EXCLUIR = 23;
constexpr int PASTA_EXE = 28;
constexpr int SN_EXE = 29;
constexpr int MEMO = 30;
// Untitled, type "08" (sending to a server; its folder, mask and address are in
// Dir Origem, Arquivo and Dir Destino): the user (empty: anonymous), the
// password protected as SENHA_ZIP is, and the seconds a silent connection is
// waited for (empty: no limit). Columns 11, 12, 14, 24-27 and 34 stay free.
constexpr int USUARIO_SERVIDOR = 31;
constexpr int SENHA_SERVIDOR = 32;
constexpr int LIMITE_SERVIDOR = 33;
constexpr int COUNT = 35;
}  // namespace tarvex::col
