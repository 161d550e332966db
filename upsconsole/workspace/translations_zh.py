#!/usr/bin/env python3
"""Fills the Chinese translations of the console workspace and accounts .ts
files (run after lupdate:
  lupdate -no-obsolete -locations none upsconsole/workspace upsconsole/engine/SysSettingsDialog.cpp -ts resources/translations/upsconsole_workspace_zh_CN.ts
  lupdate -no-obsolete -locations none upsconsole/accounts/Dlg*.cpp -ts resources/translations/upsconsole_accounts_zh_CN.ts
  python3 upsconsole/workspace/translations_zh.py resources/translations/upsconsole_{workspace,accounts}_zh_CN.ts). Every source text of those files must be listed."""
import html
import re
import sys

ZH = {
    # workspace
    "<font color=red>*Community:": "<font color=red>*团体名:",
    "<font color=red>*IP Address:": "<font color=red>*IP 地址:",
    "About": "关于",
    "Add": "添加",
    "Add device": "添加设备",
    "Add device failed!": "添加设备失败！",
    "Add device success!": "添加设备成功！",
    "Add station": "添加站点",
    "Add station failed!": "添加站点失败！",
    "Add station success!": "添加站点成功！",
    "Administrator": "管理员",
    "Administrator:": "管理员:",
    "Alarm": "告警",
    "Are you sure to delete this deivce?": "确定要删除该设备吗？",
    "Are you sure to delete this station including it's child stations and deivces?":
        "确定要删除该站点及其子站点和设备吗？",
    "Attribute": "属性",
    "Attribute:": "属性:",
    "Battery Capacity(%)": "电池容量(%)",
    "Battery Status": "电池状态",
    "Battery voltage low": "电池电压低",
    "Belong to station:": "所属站点:",
    "Browser device": "浏览设备",
    "Built on": "构建于",
    "Communication Status": "通信状态",
    "Community is null!": "团体名为空！",
    "Continuous adding device:": "连续添加设备:",
    "Create time:": "创建时间:",
    "Date": "日期",
    "Delete": "删除",
    "Delete device failed!": "删除设备失败！",
    "Delete device success!": "删除设备成功！",
    "Delete failed!": "删除失败！",
    "Delete success!": "删除成功！",
    "Device Status": "设备状态",
    "Device exists!": "设备已存在！",
    "Device panel": "设备面板",
    "Display mode": "显示模式",
    "Display window": "显示窗口",
    "E-Mail": "电子邮件",
    "Help": "帮助",
    "IP": "IP",
    "IP address is null!": "IP 地址为空！",
    "IP address is vaild!": "IP 地址无效！",
    "IP address:": "IP 地址:",
    "Icon mode": "图标模式",
    "Information": "提示",
    "Input Status": "输入状态",
    "Input over-voltage": "输入过压",
    "Language": "语言",
    "Load(%)": "负载(%)",
    "Management station": "管理站点",
    "Minimize": "最小化",
    "Name": "名称",
    "Name:": "名称:",
    "New UPS Status Triggered": "有新的 UPS 状态",
    "No": "否",
    "No input": "无输入",
    "Normal": "正常",
    "Number of devices:": "设备数量:",
    "Number of substations:": "子站点数量:",
    "Offline": "离线",
    "Online": "在线",
    "Ouput Voltage(V)": "输出电压(V)",
    "Position": "位置",
    "Position:": "位置:",
    "Quit": "退出",
    "Refresh": "刷新",
    "Rename": "重命名",
    "Search Device": "搜索设备",
    "Search station": "搜索站点",
    "Settings": "设置",
    "Station exists!": "站点已存在！",
    "Station name is null!": "站点名称为空！",
    "Station name:": "站点名称:",
    "Status": "状态",
    "Status list": "状态列表",
    "Sure": "确定",
    "System": "系统",
    "Table mode": "表格模式",
    "Temperature(℃)": "温度(℃)",
    "The program is used for device management and settings by SNMP.": "本程序通过 SNMP 对设备进行管理和设置。",
    "Three phase input": "三相输入",
    "Tool": "工具",
    "Tool bar": "工具栏",
    "Unknown": "未知",
    "Upsconsole": "UPS 监控台",
    "User": "用户",
    "View more": "查看更多",
    "Vud Arori": "所有站点",
    "Warning": "警告",
    "Window": "窗口",
    "Yes": "是",
    "device": "设备",
    "station": "站点",
    "three phase ": "三相",
    # engine settings dialog (context SettingsDialog)
    "System Settings": "系统设置",
    "SNMP Version    :": "SNMP 版本  :",
    "Polling cycle   :": "轮询周期   :",
    "Polling timeout :": "轮询超时   :",
    "Store data cycle:": "存储周期   :",
    "Polling retry   :": "重试次数   :",
    "SNMP Port       :": "SNMP 端口  :",
    "Trap Port       :": "Trap 端口  :",
    "Polling cycle must greater than %1!": "轮询周期必须大于 %1！",
    # accounts
    "Add User": "添加用户",
    "Add user successfully!": "添加用户成功！",
    "Are you sure to delete this user?!": "确定要删除该用户吗？！",
    "Are you sure to set this user as administrator?": "确定要将该用户设为管理员吗？",
    "Cancel": "取消",
    "Close": "关闭",
    "Delete user successfully!": "删除用户成功！",
    "Failed to add user!": "添加用户失败！",
    "Failed to delete user!": "删除用户失败！",
    "Login": "登录",
    "Modify": "修改",
    "Modify User": "修改用户",
    "Operation failed!": "操作失败！",
    "Operation succeeded!": "操作成功！",
    "Password Confirm:": "确认密码:",
    "Password is incorrect!": "密码错误！",
    "Password is not same!": "两次密码不一致！",
    "Password:": "密码:",
    "User Name": "用户名",
    "User Name:": "用户名:",
    "User does not exist!": "用户不存在！",
    "User exists!": "用户已存在！",
    "isRoot": "管理员",
}


def fill(path):
    text = open(path, encoding="utf-8").read()
    missing = []

    def repl(m):
        src = html.unescape(m.group(1))
        if src not in ZH:
            missing.append(src)
            return m.group(0)
        return "<source>%s</source>\n        <translation>%s</translation>" % (
            m.group(1), html.escape(ZH[src], quote=False))

    text = re.sub(r'<source>(.*?)</source>\s*<translation[^>]*>.*?</translation>', repl, text, flags=re.S)
    open(path, "w", encoding="utf-8").write(text)
    return missing


if __name__ == "__main__":
    bad = []
    for path in sys.argv[1:]:
        bad += fill(path)
    if bad:
        print("untranslated:", bad)
        sys.exit(1)
