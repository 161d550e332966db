<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>DlgPwdInput</name>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>用户名:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码:</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>User does not exist!</source>
        <translation>用户不存在！</translation>
    </message>
    <message>
        <source>Password is incorrect!</source>
        <translation>密码错误！</translation>
    </message>
</context>
<context>
    <name>DlgUser</name>
    <message>
        <source>User</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>isRoot</source>
        <translation>管理员</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are you sure to delete this user?!</source>
        <translation>确定要删除该用户吗？！</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Delete user successfully!</source>
        <translation>删除用户成功！</translation>
    </message>
    <message>
        <source>Failed to delete user!</source>
        <translation>删除用户失败！</translation>
    </message>
    <message>
        <source>Are you sure to set this user as administrator?</source>
        <translation>确定要将该用户设为管理员吗？</translation>
    </message>
    <message>
        <source>Operation succeeded!</source>
        <translation>操作成功！</translation>
    </message>
    <message>
        <source>Operation failed!</source>
        <translation>操作失败！</translation>
    </message>
</context>
<context>
    <name>DlgUserAdd</name>
    <message>
        <source>User Name:</source>
        <translation>用户名:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码:</translation>
    </message>
    <message>
        <source>Password Confirm:</source>
        <translation>确认密码:</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Add User</source>
        <translation>添加用户</translation>
    </message>
    <message>
        <source>Modify User</source>
        <translation>修改用户</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>User exists!</source>
        <translation>用户已存在！</translation>
    </message>
    <message>
        <source>Password is not same!</source>
        <translation>两次密码不一致！</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Add user successfully!</source>
        <translation>添加用户成功！</translation>
    </message>
    <message>
        <source>Failed to add user!</source>
        <translation>添加用户失败！</translation>
    </message>
    <message>
        <source>Operation succeeded!</source>
        <translation>操作成功！</translation>
    </message>
    <message>
        <source>Operation failed!</source>
        <translation>操作失败！</translation>
    </message>
</context>
</TS>
