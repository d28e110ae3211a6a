#include "cli/helptext.h"

namespace omvex::cli {

QString helpText()
{
    return QStringLiteral(
        "使い方: omvex-predict [オプション]\n"
        "\n"
        "プログラムのフォルダ（または --folder のフォルダ）の \"omvex.ini\" と \"kako.txt\" を読み、\n"
        "画面の「予想開始」と同じ手順で２回の予想をして、１行ずつ表示します。\n"
        "\n"
        "予想:\n"
        "  --level N      この実行だけレベルを N にする（0 標準, 1 梅, 2 竹, 3 松）\n"
        "  --pattern N    この実行だけ抽出パターンを N にする（0 選択, 1 すべて）\n"
        "  --kako N       この実行だけ過去利用法を N にする（0 並, 1 上, 2 特上, 3 無し）\n"
        "  --seed N       乱数の種（同じ種と同じファイルなら同じ結果）\n"
        "  --save         この実行の設定を \"omvex.ini\" に保存する（初期設定の OK と同じ）\n"
        "  --record       ２回の予想を次の回の分として \"kiroku.txt\" に書き足す\n"
        "\n"
        "ほかの働き（どれか一つ）:\n"
        "  --check        \"kako.txt\" だけを読み、どこまで読めたかを表示する\n"
        "  --backtest     過去の各回を、それより前の回だけから予想して当たりを数え、\n"
        "                 でたらめに選んだ数字と比べる（--last N で最後の N 回だけ）\n"
        "  --ticket 3,11,17,25,36,42\n"
        "                 6 つの数字が過去の各回で何等に当たったかを数える（何度でも指定できる）\n"
        "  --draw N       --ticket の数字を第 N 回とだけ照合する\n"
        "  --stats        各数字の出た回数を偶然の期待値と比べる\n"
        "                 （--chart FILE.png で棒グラフを PNG に書く、--last N で最後の N 回だけ）\n"
        "  --import FILE  結果ファイルの回を \"kako.txt\" に取り込む（前の内容は kako.txt.bak に残す）\n"
        "  --fetch [URL]  URL（省略すると \"omvex.ini\" の [Torikomi] URL）の結果ファイルを取得して、\n"
        "                 --import と同じように取り込む（このときだけ接続する。アドレスは保存しない）\n"
        "  --replace      --import と --fetch で、kako.txt と違う数字の回をファイルの数字で置き換える\n"
        "  --journal      \"kiroku.txt\" の予想を当せん数字と照合し、偶然と比べる\n"
        "\n"
        "共通:\n"
        "  --folder DIR   \"omvex.ini\" と \"kako.txt\" のあるフォルダ\n"
        "  --json         結果を JSON で出力する（版、設定、種、kako.txt の SHA-256 付き）\n"
        "  --help         この説明\n"
        "  --version      版を表示する\n"
        "\n"
        "終了状態:\n"
        "  0  成功\n"
        "  1  \"kako.txt\" を最後まで読めなかった（--check）、使える当せん数字が足りない\n"
        "     （--backtest は 2 回分、--ticket と --stats は 1 回分が要る）、取り込めなかった\n"
        "     （--import、--fetch）、取得できなかった（--fetch）、その回がない（--draw）、\n"
        "     \"kiroku.txt\" を読めなかった（--journal）\n"
        "  2  オプションの誤り、フォルダがない、取得するアドレスがない（--fetch）\n"
        "  3  \"omvex.ini\"、グラフ、\"kako.txt\" または \"kiroku.txt\" を書けなかった\n"
        "  4  思いがけないエラー\n");
}

} // namespace omvex::cli
