<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="zh_CN">
<context>
    <name>BatchWiring</name>
    <message>
        <source>以下 %1 首音乐已下载过，要再次下载吗？</source>
        <translation>以下 %1 首音樂已下載過，要再次下載嗎？</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>打开主窗口</source>
        <translation>開啟主視窗</translation>
    </message>
    <message>
        <source>运行一条命令</source>
        <translation>執行一個指令</translation>
    </message>
    <message>
        <source>分析地址，保存音乐文件（存入下载文件夹或 DIR），打印保存的路径；使用 --demo 时 ADDRESS 可以只写示例编号，如 1001</source>
        <translation>分析網址，儲存音樂檔案（存入下載資料夾或 DIR），印出儲存的路徑；使用 --demo 時 ADDRESS 可以只寫範例編號，如 1001</translation>
    </message>
    <message>
        <source>这么久收不到数据就放弃（默认 30）</source>
        <translation>這麼久收不到資料就放棄（預設 30）</translation>
    </message>
    <message>
        <source>音乐页面和首页所在的网站主机</source>
        <translation>音樂頁面和首頁所在的網站主機</translation>
    </message>
    <message>
        <source>音乐信息接口所在的主机</source>
        <translation>音樂資訊介面所在的主機</translation>
    </message>
    <message>
        <source>版本文件所在的主机</source>
        <translation>版本檔案所在的主機</translation>
    </message>
    <message>
        <source>启动内置的示例服务，所有主机都用它</source>
        <translation>啟動內建的範例服務，所有主機都用它</translation>
    </message>
    <message>
        <source>文字的语言：zh_CN、zh_TW 或 en（默认取自系统的语言）</source>
        <translation>文字的語言：zh_CN、zh_TW 或 en（預設取自系統的語言）</translation>
    </message>
    <message>
        <source>（窗口）启动后分析此地址；使用 --demo 时可以只写示例编号，如 1001</source>
        <translation>（視窗）啟動後分析此網址；使用 --demo 時可以只寫範例編號，如 1001</translation>
    </message>
    <message>
        <source>（窗口）启动并完成 --address 的分析后，把窗口存为图片，然后退出</source>
        <translation>（視窗）啟動並完成 --address 的分析後，把視窗存成圖片，然後結束</translation>
    </message>
    <message>
        <source>显示此帮助</source>
        <translation>顯示此說明</translation>
    </message>
    <message>
        <source>显示版本</source>
        <translation>顯示版本</translation>
    </message>
    <message>
        <source>用法：</source>
        <translation>用法：</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>指令：</translation>
    </message>
    <message>
        <source>选项：</source>
        <translation>選項：</translation>
    </message>
    <message>
        <source>用法有误</source>
        <translation>用法有誤</translation>
    </message>
    <message>
        <source>用法见 “vexa-helper --help”</source>
        <translation>用法請見「vexa-helper --help」</translation>
    </message>
    <message>
        <source>示例服务未能启动</source>
        <translation>範例服務未能啟動</translation>
    </message>
    <message>
        <source>未知选项 “%1”</source>
        <translation>未知的選項「%1」</translation>
    </message>
    <message>
        <source>缺少命令</source>
        <translation>缺少指令</translation>
    </message>
    <message>
        <source>未知命令 “%1”</source>
        <translation>未知的指令「%1」</translation>
    </message>
    <message>
        <source>--timeout 的值 “%1” 有误</source>
        <translation>--timeout 的值「%1」有誤</translation>
    </message>
    <message>
        <source>须为大于 0、至多 24 小时的秒数</source>
        <translation>須為大於 0、至多 24 小時的秒數</translation>
    </message>
    <message>
        <source>--name 模板 “%1” 有误</source>
        <translation>--name 範本「%1」有誤</translation>
    </message>
    <message>
        <source>使用示例服务：%1</source>
        <translation>使用範例服務：%1</translation>
    </message>
    <message>
        <source>%1 需要一个音乐页面地址</source>
        <translation>%1 需要一個音樂頁面網址</translation>
    </message>
    <message>
        <source>%1 只接受一个地址；地址含空格时请加引号</source>
        <translation>%1 只接受一個網址；網址含空格時請加引號</translation>
    </message>
    <message>
        <source>地址未被接受</source>
        <translation>網址未被接受</translation>
    </message>
    <message>
        <source>无法获取 %1</source>
        <translation>無法取得 %1</translation>
    </message>
    <message>
        <source>%1 的回答中没有音乐信息</source>
        <translation>%1 的回應中沒有音樂資訊</translation>
    </message>
    <message>
        <source>config 最多接受 KEY 和 VALUE 两个参数</source>
        <translation>config 最多接受 KEY 和 VALUE 兩個參數</translation>
    </message>
    <message>
        <source>未知设置 “%1”</source>
        <translation>未知的設定「%1」</translation>
    </message>
    <message>
        <source>可用的设置有 %1</source>
        <translation>可用的設定有 %1</translation>
    </message>
    <message>
        <source>设置 %1 的值 “%2” 有误</source>
        <translation>設定 %1 的值「%2」有誤</translation>
    </message>
    <message>
        <source>设置 %1 未能保存</source>
        <translation>設定 %1 未能儲存</translation>
    </message>
    <message>
        <source>连接中断，正在重试（第 %1 次，共 %2 次）</source>
        <translation>連線中斷，正在重試（第 %1 次，共 %2 次）</translation>
    </message>
    <message>
        <source>从 %1 处继续先前未完成的下载</source>
        <translation>從 %1 處繼續先前未完成的下載</translation>
    </message>
    <message>
        <source>无法下载 %1</source>
        <translation>無法下載 %1</translation>
    </message>
    <message>
        <source>已保留 %1，再次运行同一命令即可继续下载</source>
        <translation>已保留 %1，再次執行同一指令即可繼續下載</translation>
    </message>
    <message>
        <source>已保存，但未写入标签</source>
        <translation>已儲存，但未寫入標籤</translation>
    </message>
    <message>
        <source>hot 不接受参数</source>
        <translation>hot 不接受參數</translation>
    </message>
    <message>
        <source>无法读取热门列表</source>
        <translation>無法讀取熱門清單</translation>
    </message>
    <message>
        <source>%1 的页面中没有热门条目</source>
        <translation>%1 的頁面中沒有熱門項目</translation>
    </message>
    <message>
        <source>无法保存截图</source>
        <translation>無法儲存螢幕截圖</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>無法寫入 %1</translation>
    </message>
    <message>
        <source>%1 已复制到剪贴板：双击地址框，再按“分析”</source>
        <translation>%1 已複製到剪貼簿：按兩下網址框，再按「分析」</translation>
    </message>
    <message>
        <source>打开主窗口并分析此地址；已有打开的窗口时，交给那个窗口</source>
        <translation>開啟主視窗並分析此網址；已有開啟的視窗時，交給那個視窗</translation>
    </message>
    <message>
        <source>（窗口）总是打开新的窗口，不把地址交给已打开的窗口</source>
        <translation>（視窗）總是開啟新的視窗，不把網址交給已開啟的視窗</translation>
    </message>
    <message>
        <source>--download 后面要写音乐页面地址</source>
        <translation>--download 後面要寫音樂頁面網址</translation>
    </message>
    <message>
        <source>已下载过 “%1”，跳过；文件在 %2（重新下载请加 --force）</source>
        <translation>已下載過「%1」，略過；檔案在 %2（重新下載請加 --force）</translation>
    </message>
    <message>
        <source>%1 个下载失败（共 %2 个）：</source>
        <translation>%1 個下載失敗（共 %2 個）：</translation>
    </message>
    <message>
        <source>依次下载多个地址（“-”：从标准输入每行读一个地址；--hot：首页的十五首热门音乐，再加上写出的地址），每保存一个打印一行路径；历史中已下载且文件仍在的音乐跳过（算作成功），除非加 --force；有失败时最后列出失败的地址和原因</source>
        <translation>依序下載多個網址（「-」：從標準輸入每行讀一個網址；--hot：首頁的十五首熱門音樂，再加上寫出的網址），每儲存一個就印出一行路徑；歷史中已下載且檔案仍在的音樂會略過（算作成功），除非加上 --force；有失敗時最後列出失敗的網址和原因</translation>
    </message>
    <message>
        <source>（窗口）启动后把这些地址的音乐加入下载列表；已有打开的窗口时，交给那个窗口</source>
        <translation>（視窗）啟動後把這些網址的音樂加入下載列表；已有開啟的視窗時，交給那個視窗</translation>
    </message>
    <message>
        <source>--jobs 的值 “%1” 有误</source>
        <translation>--jobs 的值「%1」有誤</translation>
    </message>
    <message>
        <source>须为 1 到 %1 的整数</source>
        <translation>須為 1 到 %1 的整數</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>歌手</source>
        <translation>歌手</translation>
    </message>
    <message>
        <source>文件或原因</source>
        <translation>檔案或原因</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>history 不接受参数</source>
        <translation>history 不接受參數</translation>
    </message>
    <message>
        <source>无法使用（%1），此窗口不接收之后启动时交来的地址</source>
        <translation>無法使用（%1），此視窗不接收之後啟動時交來的位址</translation>
    </message>
    <message>
        <source>它是符号链接，此窗口不接收之后启动时交来的地址</source>
        <translation>它是符號連結，此視窗不接收之後啟動時交來的位址</translation>
    </message>
    <message>
        <source>它不是文件夹，此窗口不接收之后启动时交来的地址</source>
        <translation>它不是資料夾，此視窗不接收之後啟動時交來的位址</translation>
    </message>
    <message>
        <source>它属于其他用户，此窗口不接收之后启动时交来的地址</source>
        <translation>它屬於其他使用者，此視窗不接收之後啟動時交來的位址</translation>
    </message>
    <message>
        <source>其他用户也能进入（权限应为 0700），此窗口不接收之后启动时交来的地址</source>
        <translation>其他使用者也能進入（權限應為 0700），此視窗不接收之後啟動時交來的位址</translation>
    </message>
    <message>
        <source>不使用文件夹 %1</source>
        <translation>不使用資料夾 %1</translation>
    </message>
    <message>
        <source>已打开的窗口没有回应，另开一个不接收地址的窗口</source>
        <translation>已開啟的視窗沒有回應，另開一個不接收位址的視窗</translation>
    </message>
    <message>
        <source>%1 是其他用户的，没有交给它任何地址；另开一个不接收地址的窗口</source>
        <translation>%1 是其他使用者的，沒有交給它任何位址；另開一個不接收位址的視窗</translation>
    </message>
    <message>
        <source>无法在 %1 接收之后启动时交来的地址</source>
        <translation>無法在 %1 接收之後啟動時交來的位址</translation>
    </message>
    <message>
        <source>“%1” 正由另一个下载保存到 %2，跳过</source>
        <translation>「%1」正由另一個下載儲存到 %2，略過</translation>
    </message>
    <message>
        <source>也显示 Qt 和所用程序库的警告（如图片解码的警告）</source>
        <translation>也顯示 Qt 和所用程式庫的警告（如圖片解碼的警告）</translation>
    </message>
    <message>
        <source>“%1” 从 %2 处继续先前未完成的下载</source>
        <translation>「%1」從 %2 處繼續先前未完成的下載</translation>
    </message>
    <message>
        <source>%1（用法见 “vexa-helper --help”）</source>
        <translation>%1（用法見「vexa-helper --help」）</translation>
    </message>
    <message>
        <source>只写示例编号（如 1001）时须加 --demo，否则请写音乐页面地址</source>
        <translation>只寫範例編號（如 1001）時須加 --demo，否則請寫音樂頁面網址</translation>
    </message>
    <message>
        <source>剩余 %1</source>
        <translation>剩餘 %1</translation>
    </message>
    <message>
        <source>显示这条命令的用法、选项和退出状态</source>
        <translation>顯示這條命令的用法、選項和結束狀態</translation>
    </message>
    <message>
        <source>分析音乐页面地址，打印音乐信息（--json：一个对象）；使用 --demo 时 ADDRESS 可以只写示例编号，如 1001</source>
        <translation>分析音樂頁面網址，印出音樂資訊（--json：一個物件）；使用 --demo 時 ADDRESS 可以只寫範例編號，如 1001</translation>
    </message>
    <message>
        <source>列出下载历史（窗口与命令行共用），最新的在前：状态、大小、名称、歌手、保存的路径或失败原因、时间（--json：一个数组，每项一个对象）</source>
        <translation>列出下載歷史（視窗與命令列共用），最新的在前：狀態、大小、名稱、歌手、儲存的路徑或失敗原因、時間（--json：一個陣列，每項一個物件）</translation>
    </message>
    <message>
        <source>以 key=value 行打印下载设置，或打印一项，或设置一项；键：%1</source>
        <translation>以 key=value 行印出下載設定，或印出一項，或設定一項；鍵：%1</translation>
    </message>
    <message>
        <source>默认的 --name 模板</source>
        <translation>預設的 --name 範本</translation>
    </message>
    <message>
        <source>true/false</source>
        <translation>true/false</translation>
    </message>
    <message>
        <source>3/4</source>
        <translation>3/4</translation>
    </message>
    <message>
        <source>窗口是否提议剪贴板中的地址，true/false</source>
        <translation>視窗是否提議剪貼簿中的網址，true/false</translation>
    </message>
    <message>
        <source>同时下载几个，1 到 10</source>
        <translation>同時下載幾個，1 到 10</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>未收到回答</source>
        <translation>未收到回答</translation>
    </message>
    <message>
        <source>回答中没有音乐信息（hot：页面中没有条目）</source>
        <translation>回答中沒有音樂資訊（hot：頁面中沒有條目）</translation>
    </message>
    <message>
        <source>下载失败；下载多个时，有一个失败</source>
        <translation>下載失敗；下載多個時，有一個失敗</translation>
    </message>
    <message>
        <source>被 Ctrl-C 中断（终止请求：143），已保留可继续的部分文件</source>
        <translation>被 Ctrl-C 中斷（終止請求：143），已保留可繼續的部分檔案</translation>
    </message>
    <message>
        <source>其他失败</source>
        <translation>其他失敗</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>、</source>
        <translation>、</translation>
    </message>
    <message>
        <source>（%1）%2</source>
        <translation>（%1）%2</translation>
    </message>
    <message>
        <source>退出状态：</source>
        <translation>結束狀態：</translation>
    </message>
    <message>
        <source>打印为 JSON：info 打印一个对象，hot 和 history 打印一个数组，每项一个对象；计数和创建时间是数字</source>
        <translation>印出為 JSON：info 印出一個物件，hot 和 history 印出一個陣列，每項一個物件；計數和建立時間是數字</translation>
    </message>
    <message>
        <source>同 --json，但每个值都是字符串：旧的格式，供按字符串读取的脚本使用</source>
        <translation>同 --json，但每個值都是字串：舊的格式，供按字串讀取的指令稿使用</translation>
    </message>
    <message>
        <source>存入 DIR，不存在时创建，不用设置中的文件夹</source>
        <translation>存入 DIR，不存在時建立，不用設定中的資料夾</translation>
    </message>
    <message>
        <source>按 TEMPLATE 命名保存的文件（默认为 name 设置，最初是 “{singer} - {name}”）：字段有 {singer} {name} {id} {date} {ext} {shortname} {shortsinger}；“/” 分出子文件夹；未写 {ext} 时自动加上扩展名</source>
        <translation>依 TEMPLATE 命名儲存的檔案（預設為 name 設定，最初是「{singer} - {name}」）：欄位有 {singer} {name} {id} {date} {ext} {shortname} {shortsinger}；「/」分出子資料夾；未寫 {ext} 時自動加上副檔名</translation>
    </message>
    <message>
        <source>保存时不写标签和封面</source>
        <translation>儲存時不寫入標籤和封面</translation>
    </message>
    <message>
        <source>同时下载 N 个（1 到 10，默认为 jobs 设置，最初是 3）</source>
        <translation>同時下載 N 個（1 到 10，預設為 jobs 設定，最初是 3）</translation>
    </message>
    <message>
        <source>历史中已下载过的音乐也重新下载</source>
        <translation>歷史中已下載過的音樂也重新下載</translation>
    </message>
    <message>
        <source>下载首页的十五首热门音乐</source>
        <translation>下載首頁的十五首熱門音樂</translation>
    </message>
    <message>
        <source>只打印保存的路径和错误：没有进度、提示和说明</source>
        <translation>只印出儲存的路徑和錯誤：沒有進度、提示和說明</translation>
    </message>
    <message>
        <source>平均 %1</source>
        <translation>平均 %1</translation>
    </message>
    <message>
        <source>列出首页的十五首热门音乐（--json：一个数组，每首一个对象，文字与截取的完全一致），并标出与上次刷新相比的升降；每次刷新都记入历史</source>
        <translation>列出首頁的十五首熱門音樂（--json：一個陣列，每首一個物件，文字與擷取的完全一致），並標出與上次重新整理相比的升降；每次重新整理都記入歷史</translation>
    </message>
    <message>
        <source>列出记录下的热门列表刷新，最新的在前：时间和每个名次的音乐（--json：一个数组，每次刷新一个对象）</source>
        <translation>列出記錄下的熱門列表重新整理，最新的在前：時間和每個名次的音樂（--json：一個陣列，每次重新整理一個物件）</translation>
    </message>
    <message>
        <source>列出记录下的热门列表（最近 100 次刷新），最新的在前</source>
        <translation>列出記錄下的熱門列表（最近 100 次重新整理），最新的在前</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>音乐下载完成</source>
        <translation>音樂下載完成</translation>
    </message>
    <message>
        <source>音乐下载失败</source>
        <translation>音樂下載失敗</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>開啟</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>開啟資料夾</translation>
    </message>
    <message>
        <source>无法发送桌面通知</source>
        <translation>無法傳送桌面通知</translation>
    </message>
</context>
<context>
    <name>DownloadBatch</name>
    <message>
        <source>无法记入下载历史</source>
        <translation>無法記入下載歷史</translation>
    </message>
</context>
<context>
    <name>DownloadHistory</name>
    <message>
        <source>下载历史已损坏，已移到 %1 并新建</source>
        <translation>下載歷史已損毀，已移至 %1 並重新建立</translation>
    </message>
    <message>
        <source>下载历史 %1 来自更新版本的程序，本次下载不会记入历史</source>
        <translation>下載歷史 %1 來自較新版本的程式，本次下載不會記入歷史</translation>
    </message>
    <message>
        <source>下载历史 %1 正被另一个程序占用，等它放开后再记入</source>
        <translation>下載歷史 %1 正被另一個程式佔用，等它釋放後再記錄</translation>
    </message>
    <message>
        <source>下载历史 %1 一直被另一个程序占用，有记录未能写入</source>
        <translation>下載歷史 %1 一直被另一個程式佔用，有記錄未能寫入</translation>
    </message>
    <message>
        <source>是一个文件夹</source>
        <translation>是一個資料夾</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>不是一般檔案</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>無法讀取</translation>
    </message>
    <message>
        <source>不是本程序的锁文件</source>
        <translation>不是本程式的鎖定檔</translation>
    </message>
    <message>
        <source>所在的文件夹 %1 不可写</source>
        <translation>所在的資料夾 %1 無法寫入</translation>
    </message>
    <message>
        <source>文件是只读的</source>
        <translation>檔案是唯讀的</translation>
    </message>
    <message>
        <source>%1 是只读的</source>
        <translation>%1 是唯讀的</translation>
    </message>
    <message>
        <source>无法使用下载历史 %1（%2），本次下载不会记入历史</source>
        <translation>無法使用下載歷史 %1（%2），本次下載不會記入歷史</translation>
    </message>
    <message>
        <source>无法创建它所在的文件夹</source>
        <translation>無法建立它所在的資料夾</translation>
    </message>
    <message>
        <source>无法写入下载历史 %1（%2），本次下载不会记入历史</source>
        <translation>無法寫入下載歷史 %1（%2），本次下載不會記入歷史</translation>
    </message>
    <message>
        <source>无法创建</source>
        <translation>無法建立</translation>
    </message>
    <message>
        <source>一直被另一个程序占用</source>
        <translation>一直被另一個程式佔用</translation>
    </message>
    <message>
        <source>正被另一个程序占用</source>
        <translation>正被另一個程式佔用</translation>
    </message>
    <message>
        <source>无法打开</source>
        <translation>無法開啟</translation>
    </message>
    <message>
        <source>下载历史的锁文件 %1 不可用（%2），已不加锁打开下载历史</source>
        <translation>下載歷史的鎖定檔 %1 無法使用（%2），已不加鎖開啟下載歷史</translation>
    </message>
    <message>
        <source>%1；%2</source>
        <translation>%1；%2</translation>
    </message>
    <message>
        <source>下载历史 %1 一直被另一个程序占用，有记录未能写入：</source>
        <translation>下載歷史 %1 一直被另一個程式佔用，有記錄未能寫入：</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>无法写入下载历史 %1（%2），有记录未能保存</source>
        <translation>無法寫入下載歷史 %1（%2），有記錄未能儲存</translation>
    </message>
    <message>
        <source>下载历史 %1 已放开，等待的记录已写入</source>
        <translation>下載歷史 %1 已釋出，等待的記錄已寫入</translation>
    </message>
    <message>
        <source>热门列表（%1）</source>
        <translation>熱門列表（%1）</translation>
    </message>
</context>
<context>
    <name>DownloadResult</name>
    <message>
        <source>音乐地址无效</source>
        <translation>音樂網址無效</translation>
    </message>
    <message>
        <source>无法写入下载文件夹</source>
        <translation>無法寫入下載資料夾</translation>
    </message>
    <message>
        <source>服务器返回错误 %1</source>
        <translation>伺服器傳回錯誤 %1</translation>
    </message>
    <message>
        <source>下载地址重定向无效</source>
        <translation>下載網址的重新導向無效</translation>
    </message>
    <message>
        <source>服务器返回空文件</source>
        <translation>伺服器傳回空白檔案</translation>
    </message>
    <message>
        <source>网络连接中断</source>
        <translation>網路連線中斷</translation>
    </message>
    <message>
        <source>网络超时</source>
        <translation>網路逾時</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>磁碟空間不足</translation>
    </message>
    <message>
        <source>写入文件失败</source>
        <translation>寫入檔案失敗</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>%1 秒内没有回应</source>
        <translation>%1 秒內沒有回應</translation>
    </message>
    <message>
        <source>收到 %1 字节，共 %2 字节</source>
        <translation>收到 %1 位元組，共 %2 位元組</translation>
    </message>
    <message>
        <source>服务器发来的是空文件</source>
        <translation>伺服器傳來的是空檔案</translation>
    </message>
    <message>
        <source>不是音频文件</source>
        <translation>不是音訊檔案</translation>
    </message>
    <message>
        <source>服务器回应无效</source>
        <translation>伺服器回應無效</translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>檔案過大</translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation>已暫停</translation>
    </message>
    <message>
        <source>另一个程序已接手这个下载</source>
        <translation>另一個程式已接手這個下載</translation>
    </message>
</context>
<context>
    <name>DownloadSettings</name>
    <message>
        <source>文件夹为空</source>
        <translation>資料夾是空的</translation>
    </message>
    <message>
        <source>不是 true 或 false</source>
        <translation>不是 true 或 false</translation>
    </message>
    <message>
        <source>ID3 版本只能是 3 或 4</source>
        <translation>ID3 版本只能是 3 或 4</translation>
    </message>
    <message>
        <source>未知设置</source>
        <translation>未知設定</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>無法寫入 %1</translation>
    </message>
    <message>
        <source>同时下载数只能是 1 到 %1</source>
        <translation>同時下載數只能是 1 到 %1</translation>
    </message>
    <message>
        <source>须为绝对路径（以 / 或 ~/ 开头）</source>
        <translation>須為絕對路徑（以 / 或 ~/ 開頭）</translation>
    </message>
    <message>
        <source>%1 中 %2=%3 有误（%4），改用 %5</source>
        <translation>%1 中 %2=%3 有誤（%4），改用 %5</translation>
    </message>
</context>
<context>
    <name>DownloadState</name>
    <message>
        <source>等待中</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>下载中</source>
        <translation>下載中</translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation>已暫停</translation>
    </message>
    <message>
        <source>已完成</source>
        <translation>已完成</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>已取消</translation>
    </message>
</context>
<context>
    <name>DownloadStatus</name>
    <message>
        <source>正在下载音乐..</source>
        <translation>正在下載音樂..</translation>
    </message>
    <message>
        <source>连接中断，正在重试（第%1次，共%2次）..</source>
        <translation>連線中斷，正在重試（第 %1 次，共 %2 次）..</translation>
    </message>
    <message>
        <source>音乐下载完成: </source>
        <translation>音樂下載完成: </translation>
    </message>
    <message>
        <source>音乐下载失败: </source>
        <translation>音樂下載失敗: </translation>
    </message>
    <message>
        <source>（未写入标签）</source>
        <translation>（未寫入標籤）</translation>
    </message>
    <message>
        <source>《%1》已下载过：
%2
要再次下载吗？</source>
        <translation>《%1》已下載過：
%2
要再次下載嗎？</translation>
    </message>
    <message>
        <source>音乐下载已暂停</source>
        <translation>音樂下載已暫停</translation>
    </message>
    <message>
        <source>音乐下载已取消</source>
        <translation>音樂下載已取消</translation>
    </message>
    <message>
        <source>无法记入下载历史，未能下载</source>
        <translation>無法記入下載歷史，未能下載</translation>
    </message>
</context>
<context>
    <name>DownloadsModel</name>
    <message>
        <source>失败：%1</source>
        <translation>失敗：%1</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>歌手</source>
        <translation>歌手</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>進度</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>檔名</translation>
    </message>
</context>
<context>
    <name>DownloadsWindow</name>
    <message>
        <source>下载列表</source>
        <translation>下載列表</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>暫停</translation>
    </message>
    <message>
        <source>暂停所选的下载，保留已下载的部分</source>
        <translation>暫停所選的下載，保留已下載的部分</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>繼續</translation>
    </message>
    <message>
        <source>从暂停处继续所选的下载</source>
        <translation>從暫停處繼續所選的下載</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>取消所选的下载，删除未完成的部分</source>
        <translation>取消所選的下載，刪除未完成的部分</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>重試</translation>
    </message>
    <message>
        <source>重新开始所选的失败或已取消的下载</source>
        <translation>重新開始所選的失敗或已取消的下載</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>開啟</translation>
    </message>
    <message>
        <source>打开所选的已下载文件</source>
        <translation>開啟所選的已下載檔案</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>開啟資料夾</translation>
    </message>
    <message>
        <source>打开所选下载所在的文件夹</source>
        <translation>開啟所選下載所在的資料夾</translation>
    </message>
    <message>
        <source>移除</source>
        <translation>移除</translation>
    </message>
    <message>
        <source>从列表中移除所选的下载</source>
        <translation>從列表中移除所選的下載</translation>
    </message>
    <message>
        <source>全部继续</source>
        <translation>全部繼續</translation>
    </message>
    <message>
        <source>继续所有已暂停的下载</source>
        <translation>繼續所有已暫停的下載</translation>
    </message>
    <message>
        <source>从列表中移除所选的 %1 项下载。
同时删除下载的文件吗？</source>
        <translation>從列表中移除所選的 %1 項下載。
同時刪除下載的檔案嗎？</translation>
    </message>
    <message>
        <source>没有能打开它的程序，请手动打开：%1</source>
        <translation>沒有能開啟它的程式，請手動開啟：%1</translation>
    </message>
    <message>
        <source>此下载无法续传，暂停后将从头开始。仍要暂停吗？</source>
        <translation>此下載無法續傳，暫停後將從頭開始。仍要暫停嗎？</translation>
    </message>
</context>
<context>
    <name>HotChart</name>
    <message>
        <source>新</source>
        <translation>新</translation>
    </message>
</context>
<context>
    <name>HotListWindow</name>
    <message>
        <source>音乐列表为空</source>
        <translation>音樂清單是空的</translation>
    </message>
    <message>
        <source>网络连接失败，请稍后再试..</source>
        <translation>網路連線失敗，請稍後再試..</translation>
    </message>
    <message>
        <source>未能获取热榜信息，请稍后再试..</source>
        <translation>無法取得熱門榜資訊，請稍後再試..</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>音乐名称</source>
        <translation>音樂名稱</translation>
    </message>
    <message>
        <source>频道</source>
        <translation>頻道</translation>
    </message>
    <message>
        <source>分享</source>
        <translation>分享</translation>
    </message>
    <message>
        <source>喜欢</source>
        <translation>喜歡</translation>
    </message>
    <message>
        <source>评论</source>
        <translation>留言</translation>
    </message>
    <message>
        <source>链接</source>
        <translation>連結</translation>
    </message>
    <message>
        <source>Vexa热榜</source>
        <translation>Vexa熱榜</translation>
    </message>
    <message>
        <source>获取热门音乐</source>
        <translation>取得熱門音樂</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>从官方网站获取最新的热门音乐列表</source>
        <translation>從官方網站取得最新的熱門音樂清單</translation>
    </message>
    <message>
        <source>热门音乐列表</source>
        <translation>熱門音樂清單</translation>
    </message>
    <message>
        <source>双击或按回车键分析选中的音乐</source>
        <translation>按兩下或按 Enter 鍵分析選取的音樂</translation>
    </message>
    <message>
        <source>全部下载</source>
        <translation>全部下載</translation>
    </message>
    <message>
        <source>下载热榜上的全部音乐</source>
        <translation>下載熱榜上的全部音樂</translation>
    </message>
    <message>
        <source>下载所选</source>
        <translation>下載所選</translation>
    </message>
    <message>
        <source>下载热榜上选中的音乐</source>
        <translation>下載熱榜上選取的音樂</translation>
    </message>
    <message>
        <source>上次不在榜上</source>
        <translation>上次不在榜上</translation>
    </message>
    <message>
        <source>上次第 %1 名（%2）</source>
        <translation>上次第 %1 名（%2）</translation>
    </message>
    <message numerus="yes">
        <source>上升 %n 位</source>
        <translation>
            <numerusform>上升 %n 位</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>下降 %n 位</source>
        <translation>
            <numerusform>下降 %n 位</numerusform>
        </translation>
    </message>
    <message>
        <source>新上榜</source>
        <translation>新上榜</translation>
    </message>
    <message>
        <source>排名不变</source>
        <translation>排名不變</translation>
    </message>
    <message>
        <source>播放全部</source>
        <translation>播放全部</translation>
    </message>
    <message>
        <source>从第一首起依次播放热榜上的音乐</source>
        <translation>從第一首起依次播放熱榜上的音樂</translation>
    </message>
    <message>
        <source>从这里播放</source>
        <translation>從這裡播放</translation>
    </message>
</context>
<context>
    <name>HttpTextFetch</name>
    <message>
        <source>%1 字节</source>
        <translation>%1 位元組</translation>
    </message>
    <message>
        <source>程序正在退出</source>
        <translation>程式正在結束</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>没有运行请求的应用程序对象</source>
        <translation>沒有執行請求的應用程式物件</translation>
    </message>
    <message>
        <source>不是有效的地址：%1</source>
        <translation>不是有效的網址：%1</translation>
    </message>
    <message>
        <source>%1 秒内未收到数据</source>
        <translation>%1 秒內未收到資料</translation>
    </message>
    <message>
        <source>回应大于 %1</source>
        <translation>回應大於 %1</translation>
    </message>
</context>
<context>
    <name>IntroductionBox</name>
    <message>
        <source>音乐简介</source>
        <translation>音樂簡介</translation>
    </message>
    <message>
        <source>音乐的文字介绍</source>
        <translation>音樂的文字介紹</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>正在检测是否存在最新版本..</source>
        <translation>正在檢查是否有新版本..</translation>
    </message>
    <message>
        <source>欢迎使用Quorlen软件</source>
        <translation>歡迎使用Quorlen軟體</translation>
    </message>
    <message>
        <source>检测更新失败!请您稍后再试,暂时使用原版</source>
        <translation>檢查更新失敗！請稍後再試，暫時使用原版本</translation>
    </message>
    <message>
        <source>双击粘贴音乐地址</source>
        <translation>按兩下貼上音樂網址</translation>
    </message>
    <message>
        <source>请输入音乐地址..</source>
        <translation>請輸入音樂網址..</translation>
    </message>
    <message>
        <source>地址有误，请检查..</source>
        <translation>網址有誤，請檢查..</translation>
    </message>
    <message>
        <source>正在分析音乐信息..</source>
        <translation>正在分析音樂資訊..</translation>
    </message>
    <message>
        <source>音乐分析完毕..</source>
        <translation>音樂分析完成..</translation>
    </message>
    <message>
        <source>网络连接失败，请稍后再试..</source>
        <translation>網路連線失敗，請稍後再試..</translation>
    </message>
    <message>
        <source>未能获取音乐信息，请检查地址..</source>
        <translation>無法取得音樂資訊，請檢查網址..</translation>
    </message>
    <message>
        <source>设置无法保存，本次运行中仍然有效</source>
        <translation>設定無法儲存，本次執行期間仍然有效</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Vexa辅助</source>
        <translation>Vexa輔助</translation>
    </message>
    <message>
        <source>分析</source>
        <translation>分析</translation>
    </message>
    <message>
        <source>Vexa热门推荐</source>
        <translation>Vexa熱門推薦</translation>
    </message>
    <message>
        <source>官方网站</source>
        <translation>官方網站</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>使用提示：</source>
        <translation>使用提示：</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Quorlen出品</source>
        <translation>Quorlen出品</translation>
    </message>
    <message>
        <source>音乐地址</source>
        <translation>音樂位址</translation>
    </message>
    <message>
        <source>音乐页面的地址，按回车键分析</source>
        <translation>音樂頁面的位址，按 Enter 鍵分析</translation>
    </message>
    <message>
        <source>分析音乐信息</source>
        <translation>分析音樂資訊</translation>
    </message>
    <message>
        <source>获取地址中音乐的信息、封面和声音</source>
        <translation>取得位址中音樂的資訊、封面和聲音</translation>
    </message>
    <message>
        <source>下载设置</source>
        <translation>下載設定</translation>
    </message>
    <message>
        <source>打开热门推荐音乐列表</source>
        <translation>開啟熱門推薦音樂清單</translation>
    </message>
    <message>
        <source>在浏览器中打开官方网站</source>
        <translation>在瀏覽器中開啟官方網站</translation>
    </message>
    <message>
        <source>上一步操作的结果</source>
        <translation>上一個操作的結果</translation>
    </message>
    <message>
        <source>程序版本</source>
        <translation>程式版本</translation>
    </message>
    <message>
        <source>已填入复制的音乐地址..</source>
        <translation>已填入複製的音樂網址..</translation>
    </message>
    <message>
        <source>下载列表</source>
        <translation>下載列表</translation>
    </message>
    <message>
        <source>打开下载列表</source>
        <translation>開啟下載列表</translation>
    </message>
    <message>
        <source>重新检测</source>
        <translation>重新檢查</translation>
    </message>
    <message>
        <source>再次检测是否存在最新版本，通过后即可分析音乐</source>
        <translation>再次檢查是否有新版本，通過後即可分析音樂</translation>
    </message>
    <message>
        <source>没有能打开网页的程序，请在浏览器中打开：%1</source>
        <translation>沒有能開啟網頁的程式，請在瀏覽器中開啟：%1</translation>
    </message>
    <message>
        <source>无法播放第 %1 首，已跳过</source>
        <translation>無法播放第 %1 首，已跳過</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Quorlen软件</source>
        <translation>Quorlen軟體</translation>
    </message>
</context>
<context>
    <name>NameTemplate</name>
    <message>
        <source>模板是空的</source>
        <translation>範本是空的</translation>
    </message>
    <message>
        <source>“{” 没有对应的 “}”</source>
        <translation>「{」沒有對應的「}」</translation>
    </message>
    <message>
        <source>未知字段 {%1}</source>
        <translation>未知欄位 {%1}</translation>
    </message>
    <message>
        <source>去掉不可用的字符后不剩文件名</source>
        <translation>去掉不可用的字元後不剩檔名</translation>
    </message>
</context>
<context>
    <name>PlayerBar</name>
    <message>
        <source>无法播放此音乐</source>
        <translation>無法播放此音樂</translation>
    </message>
    <message>
        <source>没有可用的音频设备</source>
        <translation>沒有可用的音訊裝置</translation>
    </message>
    <message>
        <source>播放/暂停</source>
        <translation>播放/暫停</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>播放或暂停当前的音乐</source>
        <translation>播放或暫停目前的音樂</translation>
    </message>
    <message>
        <source>播放进度</source>
        <translation>播放進度</translation>
    </message>
    <message>
        <source>拖动或用方向键跳到音乐的其他位置</source>
        <translation>拖曳或使用方向鍵跳到音樂的其他位置</translation>
    </message>
    <message>
        <source>已播放时间 / 总时长</source>
        <translation>已播放時間 / 總長度</translation>
    </message>
    <message>
        <source>调节播放的音量</source>
        <translation>調整播放音量</translation>
    </message>
    <message>
        <source>播放器的提示</source>
        <translation>播放器的提示</translation>
    </message>
    <message>
        <source>上一首</source>
        <translation>上一首</translation>
    </message>
    <message>
        <source>下一首</source>
        <translation>下一首</translation>
    </message>
    <message>
        <source>第 %1 首，共 %2 首</source>
        <translation>第 %1 首，共 %2 首</translation>
    </message>
</context>
<context>
    <name>SampleServiceProcess</name>
    <message>
        <source>%1 在 %2 秒内没有告知端口</source>
        <translation>%1 在 %2 秒內沒有告知連接埠</translation>
    </message>
    <message>
        <source>%1 未能运行：%2</source>
        <translation>%1 未能執行：%2</translation>
    </message>
    <message>
        <source>%1 已退出，状态码 %2</source>
        <translation>%1 已結束，狀態碼 %2</translation>
    </message>
    <message>
        <source>%1 崩溃了</source>
        <translation>%1 當掉了</translation>
    </message>
    <message>
        <source>在 %2 找不到 %1</source>
        <translation>在 %2 找不到 %1</translation>
    </message>
    <message>
        <source> 或 </source>
        <translation> 或 </translation>
    </message>
    <message>
        <source>%1 输出了 “%2”，而不是它的端口</source>
        <translation>%1 輸出了「%2」，而不是它的連接埠</translation>
    </message>
    <message>
        <source>%1 告知端口的格式未知</source>
        <translation>%1 告知連接埠的格式不明</translation>
    </message>
    <message>
        <source>http://%1，音乐页面 %2 至 %3</source>
        <translation>http://%1，音樂頁面 %2 至 %3</translation>
    </message>
</context>
<context>
    <name>ServiceConfig</name>
    <message>
        <source>--%1：“%2” 不是主机名（可带端口）</source>
        <translation>--%1：「%2」不是主機名稱（可帶連接埠）</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>请填写下载文件夹</source>
        <translation>請填寫下載資料夾</translation>
    </message>
    <message>
        <source>模板有误：%1</source>
        <translation>範本有誤：%1</translation>
    </message>
    <message>
        <source>可用字段：{singer} {name} {id} {date} {ext} {shortname} {shortsinger}；“/”分隔子文件夹</source>
        <translation>可用欄位：{singer} {name} {id} {date} {ext} {shortname} {shortsinger}；「/」分隔子資料夾</translation>
    </message>
    <message>
        <source>示例音乐</source>
        <translation>範例音樂</translation>
    </message>
    <message>
        <source>示例歌手</source>
        <translation>範例歌手</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>选择…</source>
        <translation>選擇…</translation>
    </message>
    <message>
        <source>写入标签和封面</source>
        <translation>寫入標籤和封面</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>下载文件夹</source>
        <translation>下載資料夾</translation>
    </message>
    <message>
        <source>文件名模板</source>
        <translation>檔名範本</translation>
    </message>
    <message>
        <source>ID3 版本</source>
        <translation>ID3 版本</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>預覽</translation>
    </message>
    <message>
        <source>下载的音乐文件保存在这个文件夹</source>
        <translation>下載的音樂檔案會儲存在這個資料夾</translation>
    </message>
    <message>
        <source>选择下载文件夹</source>
        <translation>選擇下載資料夾</translation>
    </message>
    <message>
        <source>在下载的文件中写入音乐信息和封面</source>
        <translation>在下載的檔案中寫入音樂資訊和封面</translation>
    </message>
    <message>
        <source>写入的 ID3 标签版本</source>
        <translation>寫入的 ID3 標籤版本</translation>
    </message>
    <message>
        <source>按这些设置下载时文件的路径</source>
        <translation>依這些設定下載時檔案的路徑</translation>
    </message>
    <message>
        <source>保存设置并关闭</source>
        <translation>儲存設定並關閉</translation>
    </message>
    <message>
        <source>不保存设置，关闭窗口</source>
        <translation>不儲存設定，關閉視窗</translation>
    </message>
    <message>
        <source>自动填入复制的音乐地址</source>
        <translation>自動填入複製的音樂網址</translation>
    </message>
    <message>
        <source>在其他程序中复制的音乐页面地址会填入地址框，但不会自动分析</source>
        <translation>在其他程式中複製的音樂頁面網址會填入網址框，但不會自動分析</translation>
    </message>
    <message>
        <source>同时下载数</source>
        <translation>同時下載數</translation>
    </message>
    <message>
        <source>同时进行的下载数，其余的排队等候</source>
        <translation>同時進行的下載數，其餘的排隊等候</translation>
    </message>
</context>
<context>
    <name>SoundAnalysis</name>
    <message>
        <source>%1（HTTP 状态码 %2）</source>
        <translation>%1（HTTP 狀態碼 %2）</translation>
    </message>
    <message>
        <source>未能获取音乐信息，请检查地址..</source>
        <translation>無法取得音樂資訊，請檢查網址..</translation>
    </message>
    <message>
        <source>网络连接失败，请稍后再试..</source>
        <translation>網路連線失敗，請稍後再試..</translation>
    </message>
</context>
<context>
    <name>SoundDownload</name>
    <message>
        <source>不是 http 或 https 地址：%1</source>
        <translation>不是 http 或 https 網址：%1</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>無法建立資料夾 %1</translation>
    </message>
    <message>
        <source>无法在 %1 中写入：%2</source>
        <translation>無法在 %1 中寫入：%2</translation>
    </message>
    <message>
        <source>在 %2 中找不到可用于 %1 的文件名</source>
        <translation>在 %2 中找不到可用於 %1 的檔名</translation>
    </message>
    <message>
        <source>服务器重定向到了不跟随的地址：%1</source>
        <translation>伺服器重新導向到不會跟隨的網址：%1</translation>
    </message>
    <message>
        <source>服务器回应 %1</source>
        <translation>伺服器回應 %1</translation>
    </message>
    <message>
        <source>请求整个文件，服务器却回应 206</source>
        <translation>請求整個檔案，伺服器卻回應 206</translation>
    </message>
    <message>
        <source>找不到可用于 %1 的文件名</source>
        <translation>找不到可用於 %1 的檔名</translation>
    </message>
    <message>
        <source>无法重命名 %1：%2</source>
        <translation>無法重新命名 %1：%2</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>無法寫入 %1：%2</translation>
    </message>
    <message>
        <source>服务器发来的是网页，不是音频文件</source>
        <translation>伺服器傳來的是網頁，不是音訊檔案</translation>
    </message>
    <message>
        <source>服务器给出了互相矛盾的文件长度</source>
        <translation>伺服器給出了互相矛盾的檔案長度</translation>
    </message>
    <message>
        <source>%1 秒内只收到 %2 字节</source>
        <translation>%1 秒內只收到 %2 位元組</translation>
    </message>
    <message>
        <source>服务器没有给出文件大小，而文件已超过 %1</source>
        <translation>伺服器沒有給出檔案大小，而檔案已超過 %1</translation>
    </message>
</context>
<context>
    <name>SoundExtraction</name>
    <message>
        <source>创建时间 “%1” 不是秒数</source>
        <translation>建立時間「%1」不是秒數</translation>
    </message>
    <message>
        <source>未能获取音乐信息，请检查地址..</source>
        <translation>無法取得音樂資訊，請檢查網址..</translation>
    </message>
</context>
<context>
    <name>SoundLink</name>
    <message>
        <source>请输入音乐地址..</source>
        <translation>請輸入音樂網址..</translation>
    </message>
    <message>
        <source>地址有误，请检查..</source>
        <translation>網址有誤，請檢查..</translation>
    </message>
</context>
<context>
    <name>SoundPanel</name>
    <message>
        <source>请先获取音乐..</source>
        <translation>請先取得音樂..</translation>
    </message>
    <message>
        <source>音乐地址复制成功..</source>
        <translation>音樂網址已複製..</translation>
    </message>
    <message>
        <source>音乐：%1</source>
        <translation>音樂：%1</translation>
    </message>
    <message>
        <source>歌手：%1</source>
        <translation>歌手：%1</translation>
    </message>
    <message>
        <source>播放：%1</source>
        <translation>播放：%1</translation>
    </message>
    <message>
        <source>粉丝：%1</source>
        <translation>粉絲：%1</translation>
    </message>
    <message>
        <source>分享：%1</source>
        <translation>分享：%1</translation>
    </message>
    <message>
        <source>时间：%1</source>
        <translation>時間：%1</translation>
    </message>
    <message>
        <source>复制地址</source>
        <translation>複製網址</translation>
    </message>
    <message>
        <source>下载音乐</source>
        <translation>下載音樂</translation>
    </message>
    <message>
        <source>播放：%1 次</source>
        <translation>播放：%1 次</translation>
    </message>
    <message>
        <source>分享：%1 次</source>
        <translation>分享：%1 次</translation>
    </message>
    <message>
        <source>粉丝：%1 人</source>
        <translation>粉絲：%1 人</translation>
    </message>
    <message>
        <source>复制音乐地址</source>
        <translation>複製音樂位址</translation>
    </message>
    <message>
        <source>把音乐文件的地址复制到剪贴板</source>
        <translation>將音樂檔案的位址複製到剪貼簿</translation>
    </message>
    <message>
        <source>下载音乐文件</source>
        <translation>下載音樂檔案</translation>
    </message>
    <message>
        <source>把音乐文件保存到下载文件夹</source>
        <translation>將音樂檔案儲存到下載資料夾</translation>
    </message>
    <message>
        <source>封面</source>
        <translation>封面</translation>
    </message>
    <message>
        <source>音乐的封面图片</source>
        <translation>音樂的封面圖片</translation>
    </message>
    <message>
        <source>音乐名称</source>
        <translation>音樂名稱</translation>
    </message>
    <message>
        <source>歌手</source>
        <translation>歌手</translation>
    </message>
    <message>
        <source>播放次数</source>
        <translation>播放次數</translation>
    </message>
    <message>
        <source>粉丝人数</source>
        <translation>粉絲人數</translation>
    </message>
    <message>
        <source>分享次数</source>
        <translation>分享次數</translation>
    </message>
    <message>
        <source>发布时间</source>
        <translation>發布時間</translation>
    </message>
    <message>
        <source>音乐全名：%1</source>
        <translation>音樂全名：%1</translation>
    </message>
    <message>
        <source>歌手全名：%1</source>
        <translation>歌手全名：%1</translation>
    </message>
</context>
<context>
    <name>SoundStream</name>
    <message>
        <source>不是 http 或 https 地址</source>
        <translation>不是 http 或 https 網址</translation>
    </message>
    <message>
        <source>服务器重定向到了不跟随的地址</source>
        <translation>伺服器重新導向到不會跟隨的網址</translation>
    </message>
    <message>
        <source>服务器回应 %1</source>
        <translation>伺服器回應 %1</translation>
    </message>
    <message>
        <source>服务器回应的范围不是所请求的</source>
        <translation>伺服器回應的範圍不是所請求的</translation>
    </message>
    <message>
        <source>连接在结束前关闭</source>
        <translation>連線在結束前關閉</translation>
    </message>
</context>
<context>
    <name>SoundTags</name>
    <message>
        <source>不支持给 .%1 文件写标签</source>
        <translation>不支援為 .%1 檔案寫入標籤</translation>
    </message>
    <message>
        <source>文件内容与扩展名不符</source>
        <translation>檔案內容與副檔名不符</translation>
    </message>
    <message>
        <source>磁盘空间不足，无法写入标签</source>
        <translation>磁碟空間不足，無法寫入標籤</translation>
    </message>
    <message>
        <source>无法写入标签</source>
        <translation>無法寫入標籤</translation>
    </message>
</context>
<context>
    <name>UiLanguage</name>
    <message>
        <source>--lang: 不支持的语言“%1”，可用的有：%2</source>
        <translation>--lang: 不支援的語言「%1」，可用的有：%2</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <source>发现最新版本![%1]<byte value="xd"/>
 <byte value="xd"/>
确定后自动打开官方论坛!</source>
        <translation>發現最新版本![%1]<byte value="xd"/>
 <byte value="xd"/>
確定後自動開啟官方論壇!</translation>
    </message>
</context>
</TS>
